// java.io.OutputStreamWriter: turns characters into UTF-8 bytes for an
// OutputStream. Nothing is held back: every write ends in a write to the
// byte stream.
#pragma once

#include "java_io_OutputStream.h"
#include "java_io_Writer.h"

namespace java::io {

class OutputStreamWriter : public Writer {
    VM_DECLARE_CLASS(OutputStreamWriter, Writer)

public:
    VMField<OutputStream> out;  // null once closed
    // Scratch bytes, made on the first write; a long text goes out in chunks
    // of at most this many bytes.
    VMField<VMArray<jbyte, 1>> byteBuffer;

    static constexpr jint kByteBufferSize = 2048;

    // NullPointerException for a null stream.
    VMPtr<OutputStreamWriter> construct(VMPtr<OutputStream> out);

    using Writer::write;
    void write(VMPtr<java::lang::String> str, jint off, jint len) override;
    void write(VMPtr<VMArray<jchar, 1>> cbuf, jint off, jint len) override;
    void write(jint c) override;
    void flush() override;
    // Closes the byte stream once; later calls do nothing.
    void close() override;

    void markReferences(uint32_t bits) override {
        Writer::markReferences(bits);
        _VM_markRef(out, bits);
        _VM_markRef(byteBuffer, bits);
    }

private:
    void checkOpen();
    // Encodes n characters and writes them in chunks; holds lock's monitor.
    void encodeAndWrite(const jchar* chars, jint n);
};

}  // namespace java::io
