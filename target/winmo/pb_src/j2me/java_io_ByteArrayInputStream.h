// java.io.ByteArrayInputStream: reads the bytes of an array (shared with the
// caller, not copied).
#pragma once

#include "java_io_InputStream.h"

namespace java::io {

class ByteArrayInputStream : public InputStream {
    VM_DECLARE_CLASS(ByteArrayInputStream, InputStream)

public:
    VMField<VMArray<jbyte, 1>> buf;
    jint pos = 0;    // index of the next byte
    jint mark_ = 0;  // where reset() returns to
    jint count = 0;  // one past the last readable index

    VMPtr<ByteArrayInputStream> construct(VMPtr<VMArray<jbyte, 1>> buf);
    VMPtr<ByteArrayInputStream> construct(VMPtr<VMArray<jbyte, 1>> buf, jint offset, jint length);

    using InputStream::read;
    jint read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    jint read() override;
    jlong skip(jlong n) override;
    jint available() override;
    void mark(jint readAheadLimit) override;
    void reset() override;
    jboolean markSupported() override;

    void markReferences(uint32_t bits) override {
        InputStream::markReferences(bits);
        _VM_markRef(buf, bits);
    }
};

}  // namespace java::io
