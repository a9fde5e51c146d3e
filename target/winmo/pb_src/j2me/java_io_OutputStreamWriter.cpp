// java.io.OutputStreamWriter
#include "java_io_OutputStreamWriter.h"

#include "java_io_IOException.h"
#include "java_io_InputStream.h"

namespace {

// --- UTF-8 encoding ---------------------------------------------------------------
// The character encoder of the runtime's UTF-8 codec (unmodified form), kept
// here until String's shared codec routines can be called instead. Each
// 16-bit unit takes one to three bytes; a surrogate pair is two separately
// encoded units; U+0000 is the single byte 0x00.

int utf8FormLength(jchar c) {
    if (c <= 0x7F) return 1;
    if (c <= 0x7FF) return 2;
    return 3;
}

// Writes the form of c at p; returns the byte after it.
uint8_t* utf8EncodeChar(jchar c, uint8_t* p) {
    if (c <= 0x7F) {
        *p++ = uint8_t(c);
    } else if (c <= 0x7FF) {
        *p++ = uint8_t(0xC0 | (c >> 6));
        *p++ = uint8_t(0x80 | (c & 0x3F));
    } else {
        *p++ = uint8_t(0xE0 | (c >> 12));
        *p++ = uint8_t(0x80 | ((c >> 6) & 0x3F));
        *p++ = uint8_t(0x80 | (c & 0x3F));
    }
    return p;
}

}  // namespace

namespace java::io {

using java::lang::String;

VMPtr<OutputStreamWriter> OutputStreamWriter::construct(VMPtr<OutputStream> stream) {
    Writer::construct();
    if (stream == nullptr) _VM_throwNullPointer();
    out = stream;
    return this;
}

void OutputStreamWriter::checkOpen() {
    if (out == nullptr) _VM_throw(IOException::create()->construct(VM_STR("Stream closed")));
}

void OutputStreamWriter::encodeAndWrite(const jchar* chars, jint n) {
    if (byteBuffer == nullptr) byteBuffer = VMArray<jbyte, 1>::create(kByteBufferSize);
    jint i = 0;
    while (i < n) {
        // Whole forms only: the chunk ends before the first one that does
        // not fit.
        uint8_t* start = reinterpret_cast<uint8_t*>(byteBuffer->elements());
        uint8_t* p = start;
        uint8_t* end = start + kByteBufferSize;
        while (i < n && utf8FormLength(chars[i]) <= end - p) p = utf8EncodeChar(chars[i++], p);
        out->write(byteBuffer, 0, jint(p - start));
    }
}

void OutputStreamWriter::write(VMPtr<VMArray<jchar, 1>> cbuf, jint off, jint len) {
    checkOpen();
    if (cbuf == nullptr) _VM_throwNullPointer();
    _VM_checkStreamRange(cbuf->length, off, len);
    if (len == 0) return;
    VMSynchronized guard(lock);
    encodeAndWrite(cbuf->elements() + off, len);  // cbuf holds the array meanwhile
}

void OutputStreamWriter::write(VMPtr<String> str, jint off, jint len) {
    checkOpen();
    if (str == nullptr) _VM_throwNullPointer();
    _VM_checkStreamRange(str->length(), off, len);
    if (len == 0) return;
    VMSynchronized guard(lock);
    encodeAndWrite(str->_VM_chars() + off, len);  // str holds its characters meanwhile
}

void OutputStreamWriter::write(jint c) {
    checkOpen();
    VMSynchronized guard(lock);
    if (byteBuffer == nullptr) byteBuffer = VMArray<jbyte, 1>::create(kByteBufferSize);
    uint8_t* start = reinterpret_cast<uint8_t*>(byteBuffer->elements());
    uint8_t* end = utf8EncodeChar(jchar(c), start);
    out->write(byteBuffer, 0, jint(end - start));
}

void OutputStreamWriter::flush() {
    checkOpen();
    out->flush();
}

void OutputStreamWriter::close() {
    if (out == nullptr) return;
    out->close();
    out = nullptr;
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::OutputStreamWriter, .name = "java.io.OutputStreamWriter", .superName = "java.io.Writer",
                  .sourceName = "target/winmo/pb_src/j2me/java_io_OutputStreamWriter")
