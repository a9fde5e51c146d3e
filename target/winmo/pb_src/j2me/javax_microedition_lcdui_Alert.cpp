// javax.microedition.lcdui.Alert: as far as the display's alert rules need it.
#include "javax_microedition_lcdui_Alert.h"

namespace javax::microedition::lcdui {

VMStatic<Command> Alert::DISMISS_COMMAND;

void Alert::_VM_clinit() { DISMISS_COMMAND = Command::create()->construct(VM_STR(""), Command::OK, 0); }

VMPtr<Alert> Alert::construct(VMPtr<java::lang::String> text) {
    Super::construct(nullptr);
    if (text != nullptr) setTitle(text);
    return this;
}

void Alert::_VM_setNext(VMPtr<Displayable> d) { next = d; }

VMPtr<Displayable> Alert::_VM_getNext() { return next; }

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Alert, .name = "javax.microedition.lcdui.Alert",
                  .staticInit = javax::microedition::lcdui::Alert::_VM_clinit)
