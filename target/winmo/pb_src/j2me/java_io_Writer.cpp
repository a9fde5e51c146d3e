// java.io.Writer: the abstract base of character output streams.
#include "java_io_Writer.h"

#include <algorithm>

namespace java::io {

using java::lang::String;

VMPtr<Writer> Writer::construct() {
    Super::construct();
    lock = this;
    return this;
}

void Writer::write(VMPtr<String> str, jint off, jint len) {
    VMSynchronized guard(lock);
    if (str == nullptr) _VM_throwNullPointer();
    if (writeBuffer == nullptr) writeBuffer = VMArray<jchar, 1>::create(kWriteBufferSize);
    while (len > 0) {
        jint n = std::min(len, kWriteBufferSize);
        str->getChars(off, off + n, writeBuffer, 0);  // the string's range tests and messages
        write(writeBuffer, 0, n);
        off += n;
        len -= n;
    }
}

void Writer::write(VMPtr<String> str) { write(str, 0, str->length()); }

void Writer::write(VMPtr<VMArray<jchar, 1>> cbuf) {
    if (cbuf == nullptr) _VM_throwNullPointer();
    write(cbuf, 0, cbuf->length);
}

void Writer::write(jint c) {
    VMSynchronized guard(lock);
    if (writeBuffer == nullptr) writeBuffer = VMArray<jchar, 1>::create(kWriteBufferSize);
    writeBuffer->elements()[0] = jchar(c);
    write(writeBuffer, 0, 1);
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::Writer, .name = "java.io.Writer", .isAbstract = true)
