// com.tarsel.sorrel.midp.io.HttpOutputStream: the body of an HTTP request.
#include "com_tarsel_sorrel_midp_io_HttpOutputStream.h"

#include "com_tarsel_sorrel_midp_io_HttpInputStream.h"
#include "hal_http.h"
#include "hal_system.h"

namespace com::tarsel::sorrel::midp::io {

VMPtr<HttpOutputStream> HttpOutputStream::construct(HAL_HTTPConnection* connection,
                                                    VMPtr<java::lang::Object> connectionObject) {
    Super::construct();
    handle = connection;
    owner = connectionObject;
    return this;
}

void HttpOutputStream::markReferences(uint32_t bits) {
    Super::markReferences(bits);
    _VM_markRef(owner, bits);
}

HAL_HTTPConnection* HttpOutputStream::openHandle() {
    if (closed || (owner != nullptr && _VM_liveHTTPHandle(handle, owner.get()) != handle)) _VM_throwHTTPStreamClosed();
    return handle;
}

void HttpOutputStream::write(jint b) {
    HAL_HTTPConnection* connection = openHandle();
    const uint8_t byte = uint8_t(b);
    if (const int status = HAL_writeHTTPConnection(connection, &byte, 1)) _VM_throwHTTPError(status);
}

void HttpOutputStream::write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) {
    if (b == nullptr) _VM_throwNullPointer();
    java::io::_VM_checkStreamRange(b->length, off, len);
    HAL_HTTPConnection* connection = openHandle();
    if (len == 0) return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(b->elements() + off);
    if (const int status = HAL_writeHTTPConnection(connection, bytes, len)) _VM_throwHTTPError(status);
}

void HttpOutputStream::close() {
    if (closed) return;
    closed = true;
    if (HAL_HTTPConnection* connection = _VM_liveHTTPHandle(handle, owner.get())) HAL_flushHTTPConnection(connection);
    handle = nullptr;
}

}  // namespace com::tarsel::sorrel::midp::io

VM_REGISTER_CLASS(com::tarsel::sorrel::midp::io::HttpOutputStream, .name = "com.tarsel.sorrel.midp.io.HttpOutputStream")
