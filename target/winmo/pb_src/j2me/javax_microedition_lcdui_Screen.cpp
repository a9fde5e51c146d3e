// javax.microedition.lcdui.Screen: the base of the high-level displayables.
#include "javax_microedition_lcdui_Screen.h"

namespace javax::microedition::lcdui {

VMPtr<Screen> Screen::construct(HAL_WindowObject* nativePeer) {
    Super::construct(nativePeer);
    return this;
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Screen, .name = "javax.microedition.lcdui.Screen", .isAbstract = true)
