// javax.microedition.io.HttpsConnection: an HTTP connection over TLS.
#include "javax_microedition_io_HttpsConnection.h"

VM_REGISTER_CLASS(javax::microedition::io::HttpsConnection, .name = "javax.microedition.io.HttpsConnection",
                  .superName = "javax.microedition.io.HttpConnection", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
