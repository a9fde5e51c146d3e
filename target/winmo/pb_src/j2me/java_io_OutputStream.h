// java.io.OutputStream: the abstract base of every byte output stream. The
// default array write is built on the single-byte write(int).
#pragma once

#include "VMArray.h"
#include "VMClass.h"

namespace java::io {

class OutputStream : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(OutputStream, java::lang::Object)

public:
    VMPtr<OutputStream> construct();

    virtual void write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len);
    virtual void write(VMPtr<VMArray<jbyte, 1>> b);
    // Writes the low 8 bits of b.
    virtual void write(jint b) = 0;
    virtual void flush();
    virtual void close();
};

}  // namespace java::io
