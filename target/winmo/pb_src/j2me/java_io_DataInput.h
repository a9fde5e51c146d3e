// java.io.DataInput: reading primitive values and modified UTF-8 strings in
// big-endian order.
#pragma once

#include "VMArray.h"
#include "VMClass.h"
#include "java_lang_String.h"

namespace java::io {

class DataInput : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(DataInput)

public:
    virtual void readFully(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) = 0;
    virtual void readFully(VMPtr<VMArray<jbyte, 1>> b) = 0;
    virtual jint skipBytes(jint n) = 0;
    virtual jboolean readBoolean() = 0;
    virtual jbyte readByte() = 0;
    virtual jint readUnsignedByte() = 0;
    virtual jshort readShort() = 0;
    virtual jint readUnsignedShort() = 0;
    virtual jchar readChar() = 0;
    virtual jint readInt() = 0;
    virtual jlong readLong() = 0;
    virtual jfloat readFloat() = 0;
    virtual jdouble readDouble() = 0;
    virtual VMPtr<java::lang::String> readUTF() = 0;
};

}  // namespace java::io
