// com.tarsel.sorrel.midp.io.protocol.https.Protocol: the HTTPS connection
// that javax.microedition.io.Connector opens for "https:" URLs. It is the
// HTTP connection with its own protocol name and default port 443; the
// platform connection verifies the server's certificate.
#pragma once

#include "com_tarsel_sorrel_midp_io_protocol_http_Protocol.h"
#include "javax_microedition_io_HttpsConnection.h"

namespace com::tarsel::sorrel::midp::io::protocol::https {

class Protocol : public http::Protocol, public virtual javax::microedition::io::HttpsConnection {
    VM_DECLARE_CLASS(Protocol, http::Protocol)

public:
    static VMStatic<java::lang::String> protocolName;  // "https"
    static void _VM_clinit();

    VMPtr<Protocol> construct();

    // "https".
    VMPtr<java::lang::String> getProtocol() override;
    // The URL's port; 443 where the platform reports 80 (a URL without a
    // port gives 80 there).
    jint getPort() override;
    // Null: this system has no security information object.
    VMPtr<java::lang::Object> getSecurityInfo() override;
};

}  // namespace com::tarsel::sorrel::midp::io::protocol::https
