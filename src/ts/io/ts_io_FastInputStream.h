// ts.io.FastInputStream: reads its source in blocks of 1024 bytes and hands
// out what the current block holds; a read never waits to fill the caller's
// whole array. The network session moves response bodies through it.
#pragma once

#include "java_io_InputStream.h"
#include "java_io_OutputStream.h"

namespace ts::io {

class FastInputStream : public java::io::InputStream {
    VM_DECLARE_CLASS(FastInputStream, java::io::InputStream)

public:
    static constexpr jint BLOCK_SIZE = 1024;

    VMField<VMArray<jbyte, 1>> buffer;      // null after close
    VMField<java::io::InputStream> source;  // null after close
    jint position = 0;                      // next byte of buffer to hand out
    jboolean closed = false;
    jboolean endOfStream = false;  // the source has reported its end
    jint buffered = 0;             // bytes from position on not yet handed out

    VMPtr<FastInputStream> construct(VMPtr<java::io::InputStream> source);

    // Every read, skip and drain first fills the block when it is used up;
    // after close they throw IOException "InputStream closed".
    using java::io::InputStream::read;
    jint read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    jint read() override;
    jlong skip(jlong n) override;
    jint available() override;
    void close() override;
    void mark(jint readlimit) override;
    void reset() override;
    jboolean markSupported() override;
    // Writes the rest of the current block to out: the number of bytes
    // written, or -1 at the end of the stream.
    virtual jint drainTo(VMPtr<java::io::OutputStream> out);

    void markReferences(uint32_t bits) override {
        InputStream::markReferences(bits);
        _VM_markRef(buffer, bits);
        _VM_markRef(source, bits);
    }

private:
    void fill();
};

}  // namespace ts::io
