// java.io.ByteArrayOutputStream: collects written bytes in a growing array.
#include "java_io_ByteArrayOutputStream.h"

#include <algorithm>
#include <cstring>

#include "java_io_InputStream.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_String.h"

namespace java::io {

using java::lang::String;

VMPtr<ByteArrayOutputStream> ByteArrayOutputStream::construct() { return construct(32); }

VMPtr<ByteArrayOutputStream> ByteArrayOutputStream::construct(jint size) {
    Super::construct();
    if (size < 0) _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR("Negative initial size")));
    buf = VMArray<jbyte, 1>::create(size);
    count = 0;
    closed = false;
    return this;
}

void ByteArrayOutputStream::checkOpen() {
    if (closed)
        _VM_throw(java::lang::RuntimeException::create()->construct(VM_STR("Writing to closed ByteArrayOutputStream")));
}

// The buffer at least doubles, so a run of writes costs amortised constant
// time per byte. The sizes are taken in 64 bits: no array can outgrow the
// 32-bit length, and asking for more is an OutOfMemoryError.
void ByteArrayOutputStream::ensureCapacity(int64_t newCount) {
    int64_t capacity = buf->length;
    if (newCount <= capacity) return;
    if (newCount > INT32_MAX) _VM_throwOutOfMemoryError();
    int64_t grown = std::min<int64_t>(std::max<int64_t>(capacity * 2, newCount), INT32_MAX);
    VMPtr<VMArray<jbyte, 1>> larger = VMArray<jbyte, 1>::create(jint(grown));
    if (count > 0) std::memcpy(larger->elements(), buf->elements(), size_t(count));
    buf = larger;
}

void ByteArrayOutputStream::write(jint b) {
    VMSynchronized guard(this);
    checkOpen();
    ensureCapacity(int64_t(count) + 1);
    buf->elements()[count] = jbyte(b);
    ++count;
}

void ByteArrayOutputStream::write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) {
    VMSynchronized guard(this);
    if (b == nullptr) _VM_throwNullPointer();
    _VM_checkStreamRange(b->length, off, len);
    if (len == 0) return;
    ensureCapacity(int64_t(count) + len);
    std::memmove(buf->elements() + count, b->elements() + off, size_t(len));
    count += len;
}

void ByteArrayOutputStream::close() { closed = true; }

void ByteArrayOutputStream::reset() {
    VMSynchronized guard(this);
    checkOpen();
    count = 0;
}

VMPtr<VMArray<jbyte, 1>> ByteArrayOutputStream::toByteArray() {
    VMSynchronized guard(this);
    if (closed && buf->length == count) return buf;
    VMPtr<VMArray<jbyte, 1>> copy = VMArray<jbyte, 1>::create(count);
    if (count > 0) std::memcpy(copy->elements(), buf->elements(), size_t(count));
    return copy;
}

jint ByteArrayOutputStream::size() { return count; }

// Runs without the monitor: it decodes the array and count it finds, as
// String(byte[], int, int) decodes UTF-8 (malformed bytes throw its
// RuntimeException).
VMPtr<String> ByteArrayOutputStream::toString() {
    VMPtr<VMArray<jbyte, 1>> bytes = buf;
    jint len = count;
    return String::create()->construct(bytes, 0, len);
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::ByteArrayOutputStream, .name = "java.io.ByteArrayOutputStream",
                  .newInstance = _VM_newInstanceOf<java::io::ByteArrayOutputStream>)
