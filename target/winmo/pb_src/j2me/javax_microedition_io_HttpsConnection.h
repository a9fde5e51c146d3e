// javax.microedition.io.HttpsConnection: an HTTP connection over TLS.
#pragma once

#include "VMClass.h"
#include "javax_microedition_io_HttpConnection.h"

namespace javax::microedition::io {

class HttpsConnection : public virtual HttpConnection {
    VM_DECLARE_INTERFACE(HttpsConnection)

public:
    // The connection's security information. This system has no class for
    // it: the answer is always null.
    virtual VMPtr<java::lang::Object> getSecurityInfo() = 0;
};

}  // namespace javax::microedition::io
