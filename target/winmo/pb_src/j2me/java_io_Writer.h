// java.io.Writer: the abstract base of character output streams. The write
// operations hold the monitor of lock (the writer itself).
#pragma once

#include "VMArray.h"
#include "VMClass.h"
#include "java_lang_String.h"

namespace java::io {

class Writer : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(Writer, java::lang::Object)

public:
    VMField<java::lang::Object> lock;
    // Scratch characters for write(int) and write(String, int, int), made on
    // first use.
    VMField<VMArray<jchar, 1>> writeBuffer;

    static constexpr jint kWriteBufferSize = 1024;

    VMPtr<Writer> construct();

    virtual void write(VMPtr<java::lang::String> str, jint off, jint len);
    virtual void write(VMPtr<java::lang::String> str);
    virtual void write(VMPtr<VMArray<jchar, 1>> cbuf, jint off, jint len) = 0;
    virtual void write(VMPtr<VMArray<jchar, 1>> cbuf);
    // Writes the low 16 bits of c as one character.
    virtual void write(jint c);
    virtual void flush() = 0;
    virtual void close() = 0;

    void markReferences(uint32_t bits) override {
        java::lang::Object::markReferences(bits);
        _VM_markRef(lock, bits);
        _VM_markRef(writeBuffer, bits);
    }
};

}  // namespace java::io
