// javax.microedition.midlet.MIDletStateChangeException: an application refuses a change of its life-cycle state.
#include "javax_microedition_midlet_MIDletStateChangeException.h"

namespace javax::microedition::midlet {

VMPtr<MIDletStateChangeException> MIDletStateChangeException::construct() {
    Super::construct();
    return this;
}

VMPtr<MIDletStateChangeException> MIDletStateChangeException::construct(VMPtr<java::lang::String> message) {
    Super::construct(message);
    return this;
}

}  // namespace javax::microedition::midlet

VM_REGISTER_CLASS(javax::microedition::midlet::MIDletStateChangeException,
                  .name = "javax.microedition.midlet.MIDletStateChangeException",
                  .newInstance = _VM_newInstanceOf<javax::microedition::midlet::MIDletStateChangeException>)
