// java.io.DataOutput: writing primitive values and modified UTF-8 strings in
// big-endian order.
#pragma once

#include "VMArray.h"
#include "VMClass.h"
#include "java_lang_String.h"

namespace java::io {

class DataOutput : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(DataOutput)

public:
    virtual void write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) = 0;
    virtual void write(VMPtr<VMArray<jbyte, 1>> b) = 0;
    virtual void write(jint b) = 0;
    virtual void writeBoolean(jboolean v) = 0;
    virtual void writeByte(jint v) = 0;
    virtual void writeShort(jint v) = 0;
    virtual void writeChar(jint v) = 0;
    virtual void writeInt(jint v) = 0;
    virtual void writeLong(jlong v) = 0;
    virtual void writeFloat(jfloat v) = 0;
    virtual void writeDouble(jdouble v) = 0;
    virtual void writeChars(VMPtr<java::lang::String> s) = 0;
    virtual void writeUTF(VMPtr<java::lang::String> str) = 0;
};

}  // namespace java::io
