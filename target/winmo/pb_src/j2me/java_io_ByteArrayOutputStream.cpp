// java.io.ByteArrayOutputStream
#include "java_io_ByteArrayOutputStream.h"

#include <algorithm>
#include <cstring>

#include "java_io_InputStream.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_RuntimeException.h"

namespace {

// --- UTF-8 decoding ---------------------------------------------------------------
// The decoding half of the runtime's UTF-8 codec, kept here until String's
// shared codec routines can be called instead. Characters are 16-bit units of
// one to three bytes; overlong forms are accepted.

// Number of characters in len bytes, walking the lead bytes only; ok is false
// when a lead byte is 0x80-0xBF or 0xF0-0xFF.
jint utf8CountChars(const uint8_t* bytes, jint len, bool& ok) {
    jint chars = 0;
    int64_t i = 0;
    while (i < len) {
        uint8_t b = bytes[i];
        switch (b >> 4) {
            case 12: case 13: i += 2; break;
            case 14: i += 3; break;
            default:
                if (b >= 0x80) {
                    ok = false;
                    return chars;
                }
                i += 1;
        }
        ++chars;
    }
    ok = true;
    return chars;
}

// Decodes one character from *p, with *remaining bytes left. A continuation
// byte of the wrong form or a form cut off by the end gives U+0080; a bad
// lead byte fails (ok false) and leaves *p on it.
jchar utf8DecodeChar(int64_t& remaining, const uint8_t*& p, bool& ok) {
    ok = true;
    if (remaining-- <= 0) return 0x80;
    uint8_t b = *p;
    switch (b >> 4) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7:
            ++p;
            return b;
        case 12: case 13: {
            if (--remaining < 0) {
                p += 1;
                return 0x80;
            }
            uint8_t b1 = p[1];
            p += 2;
            if ((b1 & 0xC0) != 0x80) return 0x80;
            return jchar(((b & 0x1F) << 6) + (b1 & 0x3F));
        }
        case 14: {
            remaining -= 2;
            if (remaining < 0) {
                p += 1 + (remaining + 2);  // the bytes that were there
                return 0x80;
            }
            uint8_t b1 = p[1];
            uint8_t b2 = p[2];
            p += 3;
            if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return 0x80;
            return jchar(((b & 0x0F) << 12) + ((b1 & 0x3F) << 6) + (b2 & 0x3F));
        }
        default:
            ok = false;
            return 0;
    }
}

// Decodes up to n characters from len bytes into dst; n becomes the number
// stored (a failed character is stored as 0 and ends the decoding). The
// result is the number of bytes consumed, counting the missing bytes of a
// form cut off by the end.
int64_t utf8Decode(jchar* dst, jint& n, const uint8_t* bytes, jint len, bool& ok) {
    ok = true;
    int64_t remaining = len;
    const uint8_t* p = bytes;
    jint stored = 0;
    while (remaining > 0 && stored < n && ok) dst[stored++] = utf8DecodeChar(remaining, p, ok);
    n = stored;
    return int64_t(len) - remaining;
}

}  // namespace

namespace java::io {

using java::lang::String;

VMPtr<ByteArrayOutputStream> ByteArrayOutputStream::construct() { return construct(32); }

VMPtr<ByteArrayOutputStream> ByteArrayOutputStream::construct(jint size) {
    OutputStream::construct();
    if (size < 0)
        _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR("Negative initial size")));
    buf = VMArray<jbyte, 1>::create(size);
    count = 0;
    closed = false;
    return this;
}

void ByteArrayOutputStream::checkOpen() {
    if (closed)
        _VM_throw(java::lang::RuntimeException::create()->construct(
            VM_STR("Writing to closed ByteArrayOutputStream")));
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

// Runs without the monitor: it decodes the array and count it finds.
VMPtr<String> ByteArrayOutputStream::toString() {
    VMPtr<VMArray<jbyte, 1>> bytes = buf;  // held across the allocations below
    jint len = count;
    auto* data = reinterpret_cast<const uint8_t*>(bytes->elements());
    bool ok = false;
    jint chars = utf8CountChars(data, len, ok);
    if (!ok)
        _VM_throw(java::lang::RuntimeException::create()->construct(VM_STR("Improperly formatted UTF-8 string.")));
    VMPtr<VMArray<jchar, 1>> value = VMArray<jchar, 1>::create(chars);
    utf8Decode(value->elements(), chars, data, len, ok);
    if (!ok)
        _VM_throw(java::lang::RuntimeException::create()->construct(VM_STR("Improperly formatted UTF-8 string.")));
    return String::create()->_VM_initLength(value->elements(), chars);
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::ByteArrayOutputStream, .name = "java.io.ByteArrayOutputStream",
                  .superName = "java.io.OutputStream",
                  .sourceName = "target/winmo/pb_src/j2me/java_io_ByteArrayOutputStream",
                  .newInstance = _VM_newInstanceOf<java::io::ByteArrayOutputStream>)
