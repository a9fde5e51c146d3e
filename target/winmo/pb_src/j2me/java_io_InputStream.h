// java.io.InputStream: the abstract base of every byte input stream. The
// default bodies are built on the single-byte read().
#pragma once

#include "VMArray.h"
#include "VMClass.h"

namespace java::io {

class InputStream : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(InputStream, java::lang::Object)

public:
    VMPtr<InputStream> construct();

    // Reads up to len bytes into b from off: the number stored, 0 for
    // len 0, or -1 when the stream is at its end.
    virtual jint read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len);
    virtual jint read(VMPtr<VMArray<jbyte, 1>> b);
    // The next byte 0 to 255, or -1 at the end.
    virtual jint read() = 0;
    virtual jlong skip(jlong n);
    virtual jint available();
    virtual void close();
    virtual void mark(jint readlimit);
    virtual void reset();
    virtual jboolean markSupported();
};

// The range test of every (b, off, len) stream operation: off < 0,
// off > b.length, len < 0, off + len > b.length or an overflowing sum throw
// IndexOutOfBoundsException without a message. b must not be null.
inline void _VM_checkStreamRange(jint arrayLength, jint off, jint len) {
    if (off < 0 || off > arrayLength || len < 0 || int64_t(off) + len > arrayLength)
        _VM_throwIndexOutOfBoundsException();
}

}  // namespace java::io
