// com.tarsel.sorrel.midp.io.protocol.https.Protocol: the connection for "https:" URLs.
#include "com_tarsel_sorrel_midp_io_protocol_https_Protocol.h"

namespace com::tarsel::sorrel::midp::io::protocol::https {

VMStatic<java::lang::String> Protocol::protocolName;

void Protocol::_VM_clinit() { protocolName = VM_STR("https"); }

VMPtr<Protocol> Protocol::construct() {
    Super::construct();
    return this;
}

VMPtr<java::lang::String> Protocol::getProtocol() {
    checkClosed();
    _VM_ensureInitialized(_VM_classRecord);
    return protocolName;
}

jint Protocol::getPort() {
    checkClosed();
    const jint port = Super::getPort();
    return port == 80 ? 443 : port;
}

VMPtr<java::lang::Object> Protocol::getSecurityInfo() { return nullptr; }

}  // namespace com::tarsel::sorrel::midp::io::protocol::https

VM_REGISTER_CLASS(com::tarsel::sorrel::midp::io::protocol::https::Protocol,
                  .name = "com.tarsel.sorrel.midp.io.protocol.https.Protocol",
                  .staticInit = com::tarsel::sorrel::midp::io::protocol::https::Protocol::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::tarsel::sorrel::midp::io::protocol::https::Protocol>,
                  .interfaces = {"javax.microedition.io.HttpsConnection"})
