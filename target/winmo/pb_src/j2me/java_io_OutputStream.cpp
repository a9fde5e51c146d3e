// java.io.OutputStream: the abstract base of every byte output stream.
#include "java_io_OutputStream.h"

#include "java_io_InputStream.h"

namespace java::io {

VMPtr<OutputStream> OutputStream::construct() {
    Super::construct();
    return this;
}

void OutputStream::write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) {
    if (b == nullptr) _VM_throwNullPointer();
    _VM_checkStreamRange(b->length, off, len);
    for (jint i = 0; i < len; ++i) write(jint((*b)[off + i]));
}

void OutputStream::write(VMPtr<VMArray<jbyte, 1>> b) {
    if (b == nullptr) _VM_throwNullPointer();
    write(b, 0, b->length);
}

void OutputStream::flush() {}

void OutputStream::close() {}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::OutputStream, .name = "java.io.OutputStream", .isAbstract = true)
