// com.tarsel.sorrel.midp.io.HttpInputStream: the body of an HTTP response,
// read from the platform connection in pieces of up to 4096 bytes.
#pragma once

#include "java_io_InputStream.h"

struct HAL_HTTPConnection;

namespace com::tarsel::sorrel::midp::io {

class HttpInputStream : public java::io::InputStream {
    VM_DECLARE_CLASS(HttpInputStream, java::io::InputStream)

public:
    HAL_HTTPConnection* handle = nullptr;
    // The connection the handle belongs to: once it is closed, the handle
    // is gone and the stream counts as closed too.
    VMField<java::lang::Object> owner;
    VMField<VMArray<jbyte, 1>> buffer;  // the last piece read
    jint pos = 0;
    jint count = 0;
    jboolean closed = false;

    // A stream over the handle, or null for a null handle.
    static VMPtr<HttpInputStream> _VM_make(HAL_HTTPConnection* handle, VMPtr<java::lang::Object> owner);
    VMPtr<HttpInputStream> construct(HAL_HTTPConnection* handle, VMPtr<java::lang::Object> owner);

    // IOException "HttpConnection error: " and the platform status when a
    // read fails; "The input stream has been closed" after close().
    using java::io::InputStream::read;
    jint read() override;
    jint read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    jint available() override;
    void close() override;

    void markReferences(uint32_t bits) override;

private:
    HAL_HTTPConnection* openHandle();
    bool fill(HAL_HTTPConnection* connection);
};

// The handle of a stream's connection while it is open, else null.
HAL_HTTPConnection* _VM_liveHTTPHandle(HAL_HTTPConnection* handle, java::lang::Object* owner);
// Throws IOException "HttpConnection error: " followed by the status.
[[noreturn]] void _VM_throwHTTPError(int status);
// Throws IOException "The input stream has been closed".
[[noreturn]] void _VM_throwHTTPStreamClosed();

}  // namespace com::tarsel::sorrel::midp::io
