// com.tarsel.sorrel.midp.io.HttpOutputStream: the body of an HTTP request,
// kept by the platform connection until the request is sent.
#pragma once

#include "java_io_OutputStream.h"

struct HAL_HTTPConnection;

namespace com::tarsel::sorrel::midp::io {

class HttpOutputStream : public java::io::OutputStream {
    VM_DECLARE_CLASS(HttpOutputStream, java::io::OutputStream)

public:
    HAL_HTTPConnection* handle = nullptr;
    // The connection the handle belongs to (see HttpInputStream).
    VMField<java::lang::Object> owner;
    jboolean closed = false;

    VMPtr<HttpOutputStream> construct(HAL_HTTPConnection* handle, VMPtr<java::lang::Object> owner);

    // IOException "HttpConnection error: " and the platform status when the
    // bytes cannot be kept (once the request has gone out, or over the
    // body's cap); "The input stream has been closed" after close().
    using java::io::OutputStream::write;
    void write(jint b) override;
    void write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    void close() override;

    void markReferences(uint32_t bits) override;

private:
    HAL_HTTPConnection* openHandle();
};

}  // namespace com::tarsel::sorrel::midp::io
