// java.io.DataOutputStream: writes primitive values and modified UTF-8
// strings to a wrapped byte stream, big-endian. Every byte goes through this
// stream's own write(int) unless an array write is named.
#pragma once

#include "java_io_DataOutput.h"
#include "java_io_OutputStream.h"

namespace java::io {

class DataOutputStream : public OutputStream, public virtual DataOutput {
    VM_DECLARE_CLASS(DataOutputStream, OutputStream)

public:
    VMField<OutputStream> out;

    VMPtr<DataOutputStream> construct(VMPtr<OutputStream> out);

    // OutputStream: passed to the wrapped stream (write(byte[]) is the base
    // form through this stream's write(b, off, len)).
    void write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    void write(VMPtr<VMArray<jbyte, 1>> b) override;
    void write(jint b) override;
    void flush() override;
    void close() override;

    // DataOutput.
    void writeBoolean(jboolean v) override;
    void writeByte(jint v) override;
    void writeShort(jint v) override;
    void writeChar(jint v) override;
    void writeInt(jint v) override;
    void writeLong(jlong v) override;
    void writeFloat(jfloat v) override;
    void writeDouble(jdouble v) override;
    void writeChars(VMPtr<java::lang::String> s) override;
    // A 2-byte length and the modified UTF-8 bytes, in one array write;
    // UTFDataFormatException (nothing written) when the form exceeds 65535
    // bytes.
    void writeUTF(VMPtr<java::lang::String> str) override;

    void markReferences(uint32_t bits) override {
        OutputStream::markReferences(bits);
        _VM_markRef(out, bits);
    }
};

}  // namespace java::io
