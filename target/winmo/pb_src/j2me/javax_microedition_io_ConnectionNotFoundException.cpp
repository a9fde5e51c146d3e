// javax.microedition.io.ConnectionNotFoundException: a URL without a protocol or a target.
#include "javax_microedition_io_ConnectionNotFoundException.h"

namespace javax::microedition::io {

VMPtr<ConnectionNotFoundException> ConnectionNotFoundException::construct() {
    Super::construct();
    return this;
}

VMPtr<ConnectionNotFoundException> ConnectionNotFoundException::construct(VMPtr<java::lang::String> message) {
    Super::construct(message);
    return this;
}

}  // namespace javax::microedition::io

VM_REGISTER_CLASS(javax::microedition::io::ConnectionNotFoundException,
                  .name = "javax.microedition.io.ConnectionNotFoundException",
                  .newInstance = _VM_newInstanceOf<javax::microedition::io::ConnectionNotFoundException>)
