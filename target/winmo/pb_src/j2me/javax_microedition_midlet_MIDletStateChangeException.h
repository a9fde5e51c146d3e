// javax.microedition.midlet.MIDletStateChangeException: an application
// refuses a change of its life-cycle state.
#pragma once

#include "java_lang_Exception.h"

namespace javax::microedition::midlet {

class MIDletStateChangeException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(MIDletStateChangeException, java::lang::Exception)

public:
    VMPtr<MIDletStateChangeException> construct();
    VMPtr<MIDletStateChangeException> construct(VMPtr<java::lang::String> message);
};

}  // namespace javax::microedition::midlet
