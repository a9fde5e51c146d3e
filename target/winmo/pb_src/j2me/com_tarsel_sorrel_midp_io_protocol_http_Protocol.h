// com.tarsel.sorrel.midp.io.protocol.http.Protocol: the HTTP connection
// that javax.microedition.io.Connector opens for "http:" URLs. Every
// operation forwards to the platform connection; this class adds the life
// cycle (Setup, Connected, Closed), the argument rules and messages, the
// streams and the header operations that read numbers and dates.
#pragma once

#include "VMArray.h"
#include "VMClass.h"
#include "com_tarsel_sorrel_cldc_io_ConnectionBaseInterface.h"
#include "com_tarsel_sorrel_midp_io_HttpInputStream.h"
#include "com_tarsel_sorrel_midp_io_HttpOutputStream.h"
#include "java_lang_String.h"
#include "javax_microedition_io_HttpConnection.h"

struct HAL_HTTPConnection;

namespace com::tarsel::sorrel::midp::io::protocol::http {

class Protocol : public virtual java::lang::Object,
                 public virtual com::tarsel::sorrel::cldc::io::ConnectionBaseInterface,
                 public virtual javax::microedition::io::HttpConnection {
    VM_DECLARE_CLASS(Protocol, java::lang::Object)

public:
    static constexpr jint SETUP = 0;
    static constexpr jint CONNECTED = 1;
    static constexpr jint CLOSED = 2;

    HAL_HTTPConnection* handle = nullptr;
    jint state = SETUP;
    VMField<HttpOutputStream> outputStream;  // the last one opened
    VMField<HttpInputStream> inputStream;    // the last one opened

    static VMStatic<java::lang::String> protocolName;  // "http"
    // The date parser's words (lower case) and what each means.
    static VMStatic<VMArray<java::lang::String, 1>> dateWords;
    static const jint dateWordActions[32];
    // Two-digit years fall into the 100 years from this one on; fixed by the
    // first parse (the current year minus 80).
    static jint defaultCenturyStart;
    static jboolean centuryStartKnown;
    static void _VM_clinit();

    // A connection that was never closed gives its platform connection back.
    ~Protocol() override;

    VMPtr<Protocol> construct();

    // ConnectionBaseInterface: a platform connection for the whole URL;
    // IOException "HAL_createHTTPConnection error: " and the status when it
    // cannot be made. mode and timeouts are not used.
    VMPtr<javax::microedition::io::Connection> openConnection(VMPtr<java::lang::String> name, jint mode,
                                                              jboolean timeouts) override;
    // Connection: closes the last streams opened and the platform
    // connection; allowed in every state.
    void close() override;
    // InputConnection, OutputConnection.
    VMPtr<java::io::InputStream> openInputStream() override;
    VMPtr<java::io::DataInputStream> openDataInputStream() override;
    VMPtr<java::io::OutputStream> openOutputStream() override;
    VMPtr<java::io::DataOutputStream> openDataOutputStream() override;
    // ContentConnection.
    VMPtr<java::lang::String> getType() override;
    VMPtr<java::lang::String> getEncoding() override;
    jlong getLength() override;
    // HttpConnection. Every operation but close throws IOException
    // "HttpConnection error: the connection is closed" once closed; the
    // response queries send the request and end the Setup state.
    VMPtr<java::lang::String> getURL() override;
    VMPtr<java::lang::String> getProtocol() override;
    VMPtr<java::lang::String> getHost() override;
    VMPtr<java::lang::String> getFile() override;
    VMPtr<java::lang::String> getRef() override;
    VMPtr<java::lang::String> getQuery() override;
    jint getPort() override;
    VMPtr<java::lang::String> getRequestMethod() override;
    void setRequestMethod(VMPtr<java::lang::String> method) override;
    VMPtr<java::lang::String> getRequestProperty(VMPtr<java::lang::String> key) override;
    // IOException "HttpConnection error: 7" for a key that is not an HTTP
    // token or a value holding CR, LF or NUL.
    void setRequestProperty(VMPtr<java::lang::String> key, VMPtr<java::lang::String> value) override;
    jint getResponseCode() override;
    VMPtr<java::lang::String> getResponseMessage() override;
    jlong getExpiration() override;
    jlong getDate() override;
    jlong getLastModified() override;
    VMPtr<java::lang::String> getHeaderField(jint n) override;
    VMPtr<java::lang::String> getHeaderField(VMPtr<java::lang::String> name) override;
    jint getHeaderFieldInt(VMPtr<java::lang::String> name, jint def) override;
    jlong getHeaderFieldDate(VMPtr<java::lang::String> name, jlong def) override;
    VMPtr<java::lang::String> getHeaderFieldKey(jint n) override;

    // An HTTP date (RFC 1123, RFC 850, asctime and looser forms) as
    // milliseconds since 1970-01-01 00:00 UTC. IllegalArgumentException
    // "Error parsing date" for anything else, null included.
    static jlong parseDate(VMPtr<java::lang::String> s);

    void markReferences(uint32_t bits) override;

protected:
    // IOException "HttpConnection error: the connection is closed" when
    // closed.
    void checkClosed();
    // The closed check, then Setup becomes Connected.
    void startResponse();
    // A platform status of a response query: 7 throws, any other failure
    // gives false.
    static bool responseStatus(int status);
    // The string of a response query (null when it failed), after the
    // platform string is released and the status checked as above.
    static VMPtr<java::lang::String> responseString(int status, NativeString* native);
    // A date header's value, or def when absent or not a date.
    jlong dateHeader(VMPtr<java::lang::String> name, jlong def);
};

}  // namespace com::tarsel::sorrel::midp::io::protocol::http
