// javax.microedition.lcdui.Screen: the base of the high-level displayables.
// In this system only Alert is one; it adds nothing to Displayable.
#pragma once

#include "javax_microedition_lcdui_Displayable.h"

namespace javax::microedition::lcdui {

class Screen : public Displayable {
    VM_DECLARE_ABSTRACT_CLASS(Screen, Displayable)

public:
    VMPtr<Screen> construct(HAL_WindowObject* nativePeer);
};

}  // namespace javax::microedition::lcdui
