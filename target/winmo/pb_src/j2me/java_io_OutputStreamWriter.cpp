// java.io.OutputStreamWriter: turns characters into UTF-8 bytes for an OutputStream.
#include "java_io_OutputStreamWriter.h"

#include "java_io_IOException.h"
#include "java_io_InputStream.h"
#include "java_lang_String.h"

namespace java::io {

using java::lang::String;

VMPtr<OutputStreamWriter> OutputStreamWriter::construct(VMPtr<OutputStream> stream) {
    Super::construct();
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
        // Whole forms only (U+0000 is one zero byte here): the chunk ends
        // before the first one that does not fit. A full buffer ends it too,
        // since the encoder writes nothing into no room at all.
        uint8_t* start = reinterpret_cast<uint8_t*>(byteBuffer->elements());
        uint8_t* p = start;
        jint room = kByteBufferSize;
        while (i < n && room > 0) {
            jint left = _VM_utf8EncodeChar(chars[i], room, p, false);
            if (left < 0) break;
            room = left;
            ++i;
        }
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
    uint8_t* end = start;
    _VM_utf8EncodeChar(jchar(c), kByteBufferSize, end, false);  // one to three bytes always fit
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

VM_REGISTER_CLASS(java::io::OutputStreamWriter, .name = "java.io.OutputStreamWriter")
