// java.io.DataInputStream: reads primitive values and modified UTF-8 strings
// from a wrapped byte stream, big-endian. Every byte is taken through this
// stream's own read(), so a subclass's override is used.
#pragma once

#include "java_io_DataInput.h"
#include "java_io_InputStream.h"

namespace java::io {

class DataInputStream : public InputStream, public virtual DataInput {
    VM_DECLARE_CLASS(DataInputStream, InputStream)

public:
    VMField<InputStream> in;

    VMPtr<DataInputStream> construct(VMPtr<InputStream> in);

    // InputStream: passed to the wrapped stream.
    jint read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    jint read(VMPtr<VMArray<jbyte, 1>> b) override;
    jint read() override;
    jlong skip(jlong n) override;
    jint available() override;
    void close() override;
    void mark(jint readlimit) override;
    void reset() override;
    jboolean markSupported() override;

    // DataInput. End of data inside a value throws EOFException; malformed
    // string data throws UTFDataFormatException.
    void readFully(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    void readFully(VMPtr<VMArray<jbyte, 1>> b) override;
    jint skipBytes(jint n) override;
    jboolean readBoolean() override;
    jbyte readByte() override;
    jint readUnsignedByte() override;
    jshort readShort() override;
    jint readUnsignedShort() override;
    jchar readChar() override;
    jint readInt() override;
    jlong readLong() override;
    jfloat readFloat() override;
    jdouble readDouble() override;
    VMPtr<java::lang::String> readUTF() override;

    void markReferences(uint32_t bits) override {
        InputStream::markReferences(bits);
        _VM_markRef(in, bits);
    }
};

}  // namespace java::io
