// java.io.ByteArrayOutputStream: collects written bytes in a growing array.
#pragma once

#include "java_io_OutputStream.h"
#include "java_lang_String.h"

namespace java::io {

class ByteArrayOutputStream : public OutputStream {
    VM_DECLARE_CLASS(ByteArrayOutputStream, OutputStream)

public:
    VMField<VMArray<jbyte, 1>> buf;
    jint count = 0;
    jboolean closed = false;

    // A stream with a 32-byte buffer.
    VMPtr<ByteArrayOutputStream> construct();
    // IllegalArgumentException "Negative initial size" for size < 0.
    VMPtr<ByteArrayOutputStream> construct(jint size);

    using OutputStream::write;
    void write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    void write(jint b) override;
    void close() override;
    virtual void reset();
    virtual VMPtr<VMArray<jbyte, 1>> toByteArray();
    virtual jint size();
    // The bytes decoded as UTF-8.
    VMPtr<java::lang::String> toString() override;

    void markReferences(uint32_t bits) override {
        OutputStream::markReferences(bits);
        _VM_markRef(buf, bits);
    }

private:
    void checkOpen();
    // Makes room for newCount bytes.
    void ensureCapacity(int64_t newCount);
};

}  // namespace java::io
