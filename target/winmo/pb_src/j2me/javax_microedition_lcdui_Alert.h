// javax.microedition.lcdui.Alert: present as far as the display's alert rules
// need it: the displayable shown after the alert, and the command that
// dismisses an alert. An alert has no platform peer of its own: when one is
// made current, the display shows the displayable that follows it instead.
#pragma once

#include "javax_microedition_lcdui_Command.h"
#include "javax_microedition_lcdui_Screen.h"

namespace javax::microedition::lcdui {

class Alert : public Screen {
    VM_DECLARE_CLASS(Alert, Screen)

public:
    VMField<Displayable> next;  // shown after the alert

    // The command with the empty label, type OK and priority 0, made by the
    // static initialiser.
    static VMStatic<Command> DISMISS_COMMAND;
    static void _VM_clinit();

    VMPtr<Alert> construct(VMPtr<java::lang::String> title);

    // The next-displayable setter and getter of the display's alert rules.
    void _VM_setNext(VMPtr<Displayable> d);
    VMPtr<Displayable> _VM_getNext();

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(next, bits);
    }
};

}  // namespace javax::microedition::lcdui
