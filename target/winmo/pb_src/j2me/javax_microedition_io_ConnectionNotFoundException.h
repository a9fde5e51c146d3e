// javax.microedition.io.ConnectionNotFoundException: no protocol class for
// the URL's scheme, or a connection target that cannot be found.
#pragma once

#include "java_io_IOException.h"

namespace javax::microedition::io {

class ConnectionNotFoundException : public java::io::IOException {
    VM_DECLARE_THROWABLE(ConnectionNotFoundException, java::io::IOException)

public:
    VMPtr<ConnectionNotFoundException> construct();
    VMPtr<ConnectionNotFoundException> construct(VMPtr<java::lang::String> message);
};

}  // namespace javax::microedition::io
