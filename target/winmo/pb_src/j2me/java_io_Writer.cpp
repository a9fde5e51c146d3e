// java.io.Writer
#include "java_io_Writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "java_lang_StringIndexOutOfBoundsException.h"

namespace {

[[noreturn]] void throwStringIndex(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    _VM_throw(java::lang::StringIndexOutOfBoundsException::create()->construct(
        java::lang::String::_VM_fromUTF8(text)));
}

// Copies the characters srcBegin to srcEnd - 1 of the string into dst from
// index 0, with the string's range tests (the decimal text of the offending
// value as the message). The caller guarantees dst has room.
void getChars(java::lang::String* str, int64_t srcBegin, int64_t srcEnd, jchar* dst) {
    if (srcBegin < 0) throwStringIndex(srcBegin);
    if (srcEnd > str->length()) throwStringIndex(srcEnd);
    if (srcBegin > srcEnd) throwStringIndex(srcEnd - srcBegin);
    std::memcpy(dst, str->_VM_chars() + srcBegin, size_t(srcEnd - srcBegin) * sizeof(jchar));
}

}  // namespace

namespace java::io {

using java::lang::String;

VMPtr<Writer> Writer::construct() {
    java::lang::Object::construct();
    lock = this;
    return this;
}

void Writer::write(VMPtr<String> str, jint off, jint len) {
    VMSynchronized guard(lock);
    if (str == nullptr) _VM_throwNullPointer();
    if (writeBuffer == nullptr) writeBuffer = VMArray<jchar, 1>::create(kWriteBufferSize);
    while (len > 0) {
        jint n = std::min(len, kWriteBufferSize);
        getChars(str.target, off, int64_t(off) + n, writeBuffer->elements());
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

VM_REGISTER_CLASS(java::io::Writer, .name = "java.io.Writer", .sourceName = "target/winmo/pb_src/j2me/java_io_Writer",
                  .isAbstract = true)
