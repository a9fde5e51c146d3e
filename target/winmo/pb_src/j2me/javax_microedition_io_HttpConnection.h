// javax.microedition.io.HttpConnection: an HTTP request and its response.
#pragma once

#include "VMClass.h"
#include "javax_microedition_io_ContentConnection.h"

namespace javax::microedition::io {

class HttpConnection : public virtual ContentConnection {
    VM_DECLARE_INTERFACE(HttpConnection)

public:
    // The request methods, "HEAD", "GET" and "POST" (set by the static
    // initialiser).
    static VMStatic<java::lang::String> HEAD;
    static VMStatic<java::lang::String> GET;
    static VMStatic<java::lang::String> POST;
    static void _VM_clinit();

    static constexpr jint HTTP_OK = 200;
    static constexpr jint HTTP_CREATED = 201;
    static constexpr jint HTTP_ACCEPTED = 202;
    static constexpr jint HTTP_NOT_AUTHORITATIVE = 203;
    static constexpr jint HTTP_NO_CONTENT = 204;
    static constexpr jint HTTP_RESET = 205;
    static constexpr jint HTTP_PARTIAL = 206;
    static constexpr jint HTTP_MULT_CHOICE = 300;
    static constexpr jint HTTP_MOVED_PERM = 301;
    static constexpr jint HTTP_MOVED_TEMP = 302;
    static constexpr jint HTTP_SEE_OTHER = 303;
    static constexpr jint HTTP_NOT_MODIFIED = 304;
    static constexpr jint HTTP_USE_PROXY = 305;
    static constexpr jint HTTP_TEMP_REDIRECT = 307;
    static constexpr jint HTTP_BAD_REQUEST = 400;
    static constexpr jint HTTP_UNAUTHORIZED = 401;
    static constexpr jint HTTP_PAYMENT_REQUIRED = 402;
    static constexpr jint HTTP_FORBIDDEN = 403;
    static constexpr jint HTTP_NOT_FOUND = 404;
    static constexpr jint HTTP_BAD_METHOD = 405;
    static constexpr jint HTTP_NOT_ACCEPTABLE = 406;
    static constexpr jint HTTP_PROXY_AUTH = 407;
    static constexpr jint HTTP_CLIENT_TIMEOUT = 408;
    static constexpr jint HTTP_CONFLICT = 409;
    static constexpr jint HTTP_GONE = 410;
    static constexpr jint HTTP_LENGTH_REQUIRED = 411;
    static constexpr jint HTTP_PRECON_FAILED = 412;
    static constexpr jint HTTP_ENTITY_TOO_LARGE = 413;
    static constexpr jint HTTP_REQ_TOO_LONG = 414;
    static constexpr jint HTTP_UNSUPPORTED_TYPE = 415;
    static constexpr jint HTTP_UNSUPPORTED_RANGE = 416;
    static constexpr jint HTTP_EXPECT_FAILED = 417;
    static constexpr jint HTTP_INTERNAL_ERROR = 500;
    static constexpr jint HTTP_NOT_IMPLEMENTED = 501;
    static constexpr jint HTTP_BAD_GATEWAY = 502;
    static constexpr jint HTTP_UNAVAILABLE = 503;
    static constexpr jint HTTP_GATEWAY_TIMEOUT = 504;
    static constexpr jint HTTP_VERSION = 505;

    virtual VMPtr<java::lang::String> getURL() = 0;
    virtual VMPtr<java::lang::String> getProtocol() = 0;
    virtual VMPtr<java::lang::String> getHost() = 0;
    virtual VMPtr<java::lang::String> getFile() = 0;
    virtual VMPtr<java::lang::String> getRef() = 0;
    virtual VMPtr<java::lang::String> getQuery() = 0;
    virtual jint getPort() = 0;
    virtual VMPtr<java::lang::String> getRequestMethod() = 0;
    virtual void setRequestMethod(VMPtr<java::lang::String> method) = 0;
    virtual VMPtr<java::lang::String> getRequestProperty(VMPtr<java::lang::String> key) = 0;
    virtual void setRequestProperty(VMPtr<java::lang::String> key, VMPtr<java::lang::String> value) = 0;
    virtual jint getResponseCode() = 0;
    virtual VMPtr<java::lang::String> getResponseMessage() = 0;
    virtual jlong getExpiration() = 0;
    virtual jlong getDate() = 0;
    virtual jlong getLastModified() = 0;
    virtual VMPtr<java::lang::String> getHeaderField(jint n) = 0;
    virtual VMPtr<java::lang::String> getHeaderField(VMPtr<java::lang::String> name) = 0;
    virtual jint getHeaderFieldInt(VMPtr<java::lang::String> name, jint def) = 0;
    virtual jlong getHeaderFieldDate(VMPtr<java::lang::String> name, jlong def) = 0;
    virtual VMPtr<java::lang::String> getHeaderFieldKey(jint n) = 0;
};

}  // namespace javax::microedition::io
