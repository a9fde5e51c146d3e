// javax.microedition.lcdui.DefaultAlertListener: the listener an alert has
// when the application sets none. Nothing in this system calls on it.
#pragma once

#include "VM.h"

namespace javax::microedition::lcdui {

class DefaultAlertListener : public virtual java::lang::Object {
    VM_DECLARE_CLASS(DefaultAlertListener, java::lang::Object)

public:
    VMPtr<DefaultAlertListener> construct();
};

}  // namespace javax::microedition::lcdui
