// javax.microedition.lcdui.Ticker: a line of text that a displayable may show running across its screen.
#include "javax_microedition_lcdui_Ticker.h"

#include "VMThrow.h"

namespace javax::microedition::lcdui {

VMPtr<Ticker> Ticker::construct(VMPtr<java::lang::String> str) {
    Super::construct();
    if (str == nullptr) _VM_throwNullPointer();
    text = str;
    return this;
}

VMPtr<java::lang::String> Ticker::getString() { return text; }

void Ticker::setString(VMPtr<java::lang::String> str) {
    if (str == nullptr) _VM_throwNullPointer();
    text = str;
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Ticker, .name = "javax.microedition.lcdui.Ticker")
