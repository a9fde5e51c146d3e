// java.io.InputStream: the abstract base of every byte input stream.
#include "java_io_InputStream.h"

#include "java_io_IOException.h"

namespace java::io {

VMPtr<InputStream> InputStream::construct() {
    Super::construct();
    return this;
}

jint InputStream::read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) {
    if (b == nullptr) _VM_throwNullPointer();
    _VM_checkStreamRange(b->length, off, len);
    if (len == 0) return 0;
    jint c = read();
    if (c == -1) return -1;
    (*b)[off] = jbyte(c);
    jint i = 1;
    try {
        for (; i < len; ++i) {
            c = read();
            if (c == -1) break;
            (*b)[off + i] = jbyte(c);
        }
    } catch (IOException*) {
        // A failure after the first byte ends the read with what was stored.
    }
    return i;
}

jint InputStream::read(VMPtr<VMArray<jbyte, 1>> b) {
    if (b == nullptr) _VM_throwNullPointer();
    return read(b, 0, b->length);
}

jlong InputStream::skip(jlong n) {
    if (n <= 0) return 0;
    jlong done = 0;
    while (done < n) {
        if (read() < 0) break;
        ++done;
    }
    return done;
}

jint InputStream::available() { return 0; }

void InputStream::close() {}

void InputStream::mark(jint) {}

void InputStream::reset() {
    VMSynchronized guard(this);
    _VM_throw(IOException::create()->construct(VM_STR("mark/reset not supported")));
}

jboolean InputStream::markSupported() { return false; }

}  // namespace java::io

VM_REGISTER_CLASS(java::io::InputStream, .name = "java.io.InputStream", .isAbstract = true)
