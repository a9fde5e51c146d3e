// java.io.DataOutputStream: writes primitive values and modified UTF-8 strings to a wrapped byte stream, big-endian.
#include "java_io_DataOutputStream.h"

#include <bit>

#include "java_io_UTFDataFormatException.h"
#include "java_lang_String.h"

namespace java::io {

using java::lang::String;

VMPtr<DataOutputStream> DataOutputStream::construct(VMPtr<OutputStream> stream) {
    Super::construct();
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

// The four bytes go out as writeInt writes them, through write(int) only: a
// subclass's writeInt is not involved (writeDouble, in contrast, goes through
// writeLong).
void DataOutputStream::writeFloat(jfloat v) { DataOutputStream::writeInt(std::bit_cast<jint>(v)); }

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
    // Modified form: U+0000 takes two bytes, so no zero byte is written.
    jlong utflen = _VM_utf8Length(str->_VM_chars(), n, true);
    if (utflen > 65535) _VM_throw(UTFDataFormatException::create()->construct());
    VMPtr<VMArray<jbyte, 1>> bytes = VMArray<jbyte, 1>::create(jint(utflen) + 2);
    jbyte* dst = bytes->elements();
    dst[0] = jbyte(utflen >> 8);
    dst[1] = jbyte(utflen & 0xFF);
    jint room = jint(utflen);  // exactly what the characters need
    _VM_utf8Encode(dst + 2, room, str->_VM_chars(), n, true, false);
    write(bytes);
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::DataOutputStream, .name = "java.io.DataOutputStream", .interfaces = {"java.io.DataOutput"})
