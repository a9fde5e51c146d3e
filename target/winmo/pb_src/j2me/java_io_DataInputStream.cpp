// java.io.DataInputStream: reads primitive values and modified UTF-8 strings from a wrapped byte stream, big-endian.
#include "java_io_DataInputStream.h"

#include <bit>

#include "java_io_EOFException.h"
#include "java_io_UTFDataFormatException.h"
#include "java_lang_String.h"

namespace {

[[noreturn]] void throwEOF() { _VM_throw(java::io::EOFException::create()->construct()); }

[[noreturn]] void throwUTFDataFormat() { _VM_throw(java::io::UTFDataFormatException::create()->construct()); }

}  // namespace

namespace java::io {

using java::lang::String;

VMPtr<DataInputStream> DataInputStream::construct(VMPtr<InputStream> stream) {
    Super::construct();
    in = stream;
    return this;
}

jint DataInputStream::read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) { return in->read(b, off, len); }

jint DataInputStream::read(VMPtr<VMArray<jbyte, 1>> b) {
    if (b == nullptr) _VM_throwNullPointer();
    return in->read(b, 0, b->length);
}

jint DataInputStream::read() { return in->read(); }
jlong DataInputStream::skip(jlong n) { return in->skip(n); }
jint DataInputStream::available() { return in->available(); }
void DataInputStream::close() { in->close(); }
void DataInputStream::mark(jint readlimit) { in->mark(readlimit); }
void DataInputStream::reset() { in->reset(); }
jboolean DataInputStream::markSupported() { return in->markSupported(); }

void DataInputStream::readFully(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) {
    if (len < 0) _VM_throwIndexOutOfBoundsException();
    jint n = 0;
    while (n < len) {
        jint c = read(b, off + n, len - n);
        if (c < 0) throwEOF();
        n += c;
    }
}

void DataInputStream::readFully(VMPtr<VMArray<jbyte, 1>> b) {
    if (b == nullptr) _VM_throwNullPointer();
    readFully(b, 0, b->length);
}

jint DataInputStream::skipBytes(jint n) {
    jint total = 0;
    while (total < n) {
        jint s = jint(skip(jlong(n) - total));
        if (s <= 0) break;
        total += s;
    }
    return total;
}

jboolean DataInputStream::readBoolean() {
    jint c = read();
    if (c < 0) throwEOF();
    return c != 0;
}

jbyte DataInputStream::readByte() {
    jint c = read();
    if (c < 0) throwEOF();
    return jbyte(c);
}

jint DataInputStream::readUnsignedByte() {
    jint c = read();
    if (c < 0) throwEOF();
    return c;
}

jint DataInputStream::readUnsignedShort() {
    jint b1 = read();
    jint b2 = read();
    if ((b1 | b2) < 0) throwEOF();
    return (b1 << 8) + b2;
}

jshort DataInputStream::readShort() { return jshort(readUnsignedShort()); }

jchar DataInputStream::readChar() { return jchar(readUnsignedShort()); }

jint DataInputStream::readInt() {
    jint b1 = read();
    jint b2 = read();
    jint b3 = read();
    jint b4 = read();
    if ((b1 | b2 | b3 | b4) < 0) throwEOF();
    return jint((uint32_t(b1) << 24) + (uint32_t(b2) << 16) + (uint32_t(b3) << 8) + uint32_t(b4));
}

jlong DataInputStream::readLong() {
    jlong high = readInt();
    jlong low = readInt();
    return jlong((uint64_t(high) << 32) + (uint64_t(low) & 0xFFFFFFFFu));
}

jfloat DataInputStream::readFloat() { return std::bit_cast<jfloat>(readInt()); }

jdouble DataInputStream::readDouble() { return std::bit_cast<jdouble>(readLong()); }

VMPtr<String> DataInputStream::readUTF() {
    jint utflen = readUnsignedShort();
    VMPtr<VMArray<jbyte, 1>> bytes = VMArray<jbyte, 1>::create(utflen);
    readFully(bytes, 0, utflen);

    // The characters are counted first, so they are decoded once, into the
    // string's own array. A bad lead byte fails; a form cut off by the end
    // counts its missing bytes as consumed, so the count then differs from
    // utflen.
    bool ok = false;
    jint n = _VM_utf8CountChars(bytes->elements(), utflen, ok);
    if (!ok) throwUTFDataFormat();
    VMPtr<VMArray<jchar, 1>> chars = VMArray<jchar, 1>::create(n);
    jint consumed = _VM_utf8Decode(chars->elements(), n, bytes->elements(), utflen, ok);
    if (!ok || consumed != utflen || n != chars->length) throwUTFDataFormat();
    return String::create()->construct(0, n, chars);
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::DataInputStream, .name = "java.io.DataInputStream", .interfaces = {"java.io.DataInput"})
