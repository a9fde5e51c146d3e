// com.tarsel.sorrel.midp.io.HttpInputStream: the body of an HTTP response.
#include "com_tarsel_sorrel_midp_io_HttpInputStream.h"

#include <algorithm>
#include <cstring>

#include "com_tarsel_sorrel_midp_io_protocol_http_Protocol.h"
#include "hal_http.h"
#include "hal_system.h"
#include "java_io_IOException.h"
#include "java_lang_StringBuffer.h"

namespace com::tarsel::sorrel::midp::io {

constexpr jint kPieceSize = 4096;

HAL_HTTPConnection* _VM_liveHTTPHandle(HAL_HTTPConnection* handle, java::lang::Object* owner) {
    if (owner == nullptr) return handle;
    auto* connection = dynamic_cast<protocol::http::Protocol*>(owner);
    return connection != nullptr && connection->handle == handle ? handle : nullptr;
}

void _VM_throwHTTPError(int status) {
    VMPtr<java::lang::StringBuffer> message = java::lang::StringBuffer::create()->construct("HttpConnection error: ");
    message->append(jint(status));
    _VM_throw(java::io::IOException::create()->construct(message->toString()));
}

void _VM_throwHTTPStreamClosed() {
    _VM_throw(java::io::IOException::create()->construct(VM_STR("The input stream has been closed")));
}

VMPtr<HttpInputStream> HttpInputStream::_VM_make(HAL_HTTPConnection* connection,
                                                 VMPtr<java::lang::Object> connectionObject) {
    if (connection == nullptr) return nullptr;
    return create()->construct(connection, connectionObject);
}

VMPtr<HttpInputStream> HttpInputStream::construct(HAL_HTTPConnection* connection,
                                                  VMPtr<java::lang::Object> connectionObject) {
    Super::construct();
    handle = connection;
    owner = connectionObject;
    return this;
}

void HttpInputStream::markReferences(uint32_t bits) {
    Super::markReferences(bits);
    _VM_markRef(owner, bits);
    _VM_markRef(buffer, bits);
}

HAL_HTTPConnection* HttpInputStream::openHandle() {
    HAL_HTTPConnection* connection = closed ? nullptr : _VM_liveHTTPHandle(handle, owner.get());
    if (connection == nullptr) _VM_throwHTTPStreamClosed();
    return connection;
}

// The next piece of the body into the buffer; false at the end.
bool HttpInputStream::fill(HAL_HTTPConnection* connection) {
    const uint8_t* data = nullptr;
    int32_t n = 0;
    const int status = HAL_readHTTPConnection(connection, &data, &n);
    if (status == HAL_END_OF_DATA) return false;
    if (status != HAL_OK) _VM_throwHTTPError(status);
    if (n <= 0) return false;
    n = std::min(n, kPieceSize);
    if (buffer == nullptr) buffer = VMArray<jbyte, 1>::create(kPieceSize);
    std::memcpy(buffer->elements(), data, size_t(n));
    pos = 0;
    count = n;
    return true;
}

jint HttpInputStream::read() {
    HAL_HTTPConnection* connection = openHandle();
    if (pos >= count && !fill(connection)) return -1;
    return (*buffer)[pos++] & 0xFF;
}

jint HttpInputStream::read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) {
    if (b == nullptr) _VM_throwNullPointer();
    java::io::_VM_checkStreamRange(b->length, off, len);
    HAL_HTTPConnection* connection = openHandle();
    if (len == 0) return 0;
    if (pos >= count && !fill(connection)) return -1;
    const jint n = std::min(len, count - pos);
    std::memcpy(b->elements() + off, buffer->elements() + pos, size_t(n));
    pos += n;
    return n;
}

jint HttpInputStream::available() {
    openHandle();
    return count - pos;
}

void HttpInputStream::close() {
    if (closed) return;
    closed = true;
    if (HAL_HTTPConnection* connection = _VM_liveHTTPHandle(handle, owner.get())) HAL_closeHTTPInput(connection);
    handle = nullptr;
    pos = count = 0;
}

}  // namespace com::tarsel::sorrel::midp::io

VM_REGISTER_CLASS(com::tarsel::sorrel::midp::io::HttpInputStream, .name = "com.tarsel.sorrel.midp.io.HttpInputStream")
