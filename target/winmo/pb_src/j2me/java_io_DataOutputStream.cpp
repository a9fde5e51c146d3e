// java.io.DataOutputStream
#include "java_io_DataOutputStream.h"

#include <bit>

#include "java_io_UTFDataFormatException.h"

namespace {

// --- modified UTF-8 encoding ------------------------------------------------------
// The encoding half of the runtime's UTF-8 codec, kept here until String's
// shared codec routines can be called instead. Each 16-bit unit takes one to
// three bytes (a surrogate pair is two separately encoded units); U+0000
// takes the two bytes 0xC0 0x80.

int utf8FormLength(jchar c) {
    if (c == 0) return 2;
    if (c <= 0x7F) return 1;
    if (c <= 0x7FF) return 2;
    return 3;
}

// The encoded length of n characters, in 64 bits: three bytes for every one
// of 2^31 characters does not fit 32 bits.
int64_t utf8Length(const jchar* chars, jint n) {
    int64_t length = 0;
    for (jint i = 0; i < n; ++i) length += utf8FormLength(chars[i]);
    return length;
}

// Encodes n characters into dst, which has room for all of them; returns the
// end of what was written.
uint8_t* utf8Encode(uint8_t* dst, const jchar* chars, jint n) {
    for (jint i = 0; i < n; ++i) {
        jchar c = chars[i];
        if (c != 0 && c <= 0x7F) {
            *dst++ = uint8_t(c);
        } else if (c <= 0x7FF) {
            *dst++ = uint8_t(0xC0 | (c >> 6));
            *dst++ = uint8_t(0x80 | (c & 0x3F));
        } else {
            *dst++ = uint8_t(0xE0 | (c >> 12));
            *dst++ = uint8_t(0x80 | ((c >> 6) & 0x3F));
            *dst++ = uint8_t(0x80 | (c & 0x3F));
        }
    }
    return dst;
}

}  // namespace

namespace java::io {

using java::lang::String;

VMPtr<DataOutputStream> DataOutputStream::construct(VMPtr<OutputStream> stream) {
    java::lang::Object::construct();
    out = stream;
    return this;
}

void DataOutputStream::write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) { out->write(b, off, len); }
void DataOutputStream::write(VMPtr<VMArray<jbyte, 1>> b) { OutputStream::write(b); }
void DataOutputStream::write(jint b) { out->write(b); }
void DataOutputStream::flush() { out->flush(); }
void DataOutputStream::close() { out->close(); }

void DataOutputStream::writeBoolean(jboolean v) { write(v ? 1 : 0); }

void DataOutputStream::writeByte(jint v) { write(v & 0xFF); }

void DataOutputStream::writeShort(jint v) {
    write((v >> 8) & 0xFF);
    write(v & 0xFF);
}

void DataOutputStream::writeChar(jint v) {
    write((v >> 8) & 0xFF);
    write(v & 0xFF);
}

void DataOutputStream::writeInt(jint v) {
    write(jint(uint32_t(v) >> 24));
    write((v >> 16) & 0xFF);
    write((v >> 8) & 0xFF);
    write(v & 0xFF);
}

void DataOutputStream::writeLong(jlong v) {
    for (int shift = 56; shift >= 0; shift -= 8) write(jint((uint64_t(v) >> shift) & 0xFF));
}

void DataOutputStream::writeFloat(jfloat v) { writeInt(std::bit_cast<jint>(v)); }

void DataOutputStream::writeDouble(jdouble v) { writeLong(std::bit_cast<jlong>(v)); }

void DataOutputStream::writeChars(VMPtr<String> s) {
    if (s == nullptr) _VM_throwNullPointer();
    jint n = s->length();
    for (jint i = 0; i < n; ++i) {
        jchar c = s->_VM_chars()[i];  // the string stays held by s across the writes
        write((c >> 8) & 0xFF);
        write(c & 0xFF);
    }
}

void DataOutputStream::writeUTF(VMPtr<String> str) {
    if (str == nullptr) _VM_throwNullPointer();
    jint n = str->length();
    int64_t utflen = utf8Length(str->_VM_chars(), n);
    if (utflen > 65535) _VM_throw(UTFDataFormatException::create()->construct());
    VMPtr<VMArray<jbyte, 1>> bytes = VMArray<jbyte, 1>::create(jint(utflen) + 2);
    auto* dst = reinterpret_cast<uint8_t*>(bytes->elements());
    dst[0] = uint8_t(utflen >> 8);
    dst[1] = uint8_t(utflen & 0xFF);
    utf8Encode(dst + 2, str->_VM_chars(), n);
    write(bytes);
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::DataOutputStream, .name = "java.io.DataOutputStream",
                  .superName = "java.io.OutputStream",
                  .sourceName = "target/winmo/pb_src/j2me/java_io_DataOutputStream",
                  .interfaces = {"java.io.DataOutput"})
