// javax.microedition.lcdui.DefaultAlertListener: the listener an alert has when the application sets none.
#include "javax_microedition_lcdui_DefaultAlertListener.h"

namespace javax::microedition::lcdui {

VMPtr<DefaultAlertListener> DefaultAlertListener::construct() {
    Super::construct();
    return this;
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::DefaultAlertListener,
                  .name = "javax.microedition.lcdui.DefaultAlertListener")
