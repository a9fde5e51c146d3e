// java.io.ByteArrayInputStream: reads the bytes of an array (shared with the caller, not copied).
#include "java_io_ByteArrayInputStream.h"

#include <algorithm>
#include <cstring>

namespace java::io {

VMPtr<ByteArrayInputStream> ByteArrayInputStream::construct(VMPtr<VMArray<jbyte, 1>> array) {
    Super::construct();
    if (array == nullptr) _VM_throwNullPointer();
    buf = array;
    pos = 0;
    mark_ = 0;
    count = array->length;
    return this;
}

// The offset is not checked here: a position outside the array is caught by
// the reads, which never touch a byte outside it.
VMPtr<ByteArrayInputStream> ByteArrayInputStream::construct(VMPtr<VMArray<jbyte, 1>> array, jint offset, jint length) {
    Super::construct();
    if (array == nullptr) _VM_throwNullPointer();
    buf = array;
    pos = offset;
    mark_ = offset;
    count = jint(std::min<int64_t>(int64_t(offset) + length, array->length));
    return this;
}

jint ByteArrayInputStream::read() {
    VMSynchronized guard(this);
    if (pos >= count) return -1;
    jint value = buf->get(pos) & 0xFF;  // a negative position throws
    ++pos;
    return value;
}

jint ByteArrayInputStream::read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) {
    VMSynchronized guard(this);
    if (b == nullptr) _VM_throwNullPointer();
    _VM_checkStreamRange(b->length, off, len);
    if (pos >= count) return -1;
    if (int64_t(pos) + len > count) len = count - pos;
    if (len == 0) return 0;
    // count never exceeds the array's length, so only a negative position
    // can lie outside it.
    if (pos < 0) _VM_throwArrayIndexOutOfBoundsException(pos);
    std::memmove(b->elements() + off, buf->elements() + pos, size_t(len));
    pos += len;
    return len;
}

jlong ByteArrayInputStream::skip(jlong n) {
    VMSynchronized guard(this);
    jlong left = jlong(count) - pos;
    if (n > left) n = left;
    if (n < 0) n = 0;
    pos += jint(n);
    return n;
}

jint ByteArrayInputStream::available() { return count - pos; }

void ByteArrayInputStream::mark(jint) { mark_ = pos; }

void ByteArrayInputStream::reset() { pos = mark_; }

jboolean ByteArrayInputStream::markSupported() { return true; }

}  // namespace java::io

VM_REGISTER_CLASS(java::io::ByteArrayInputStream, .name = "java.io.ByteArrayInputStream")
