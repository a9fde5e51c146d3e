// javax.microedition.lcdui.CommandListener: told of the commands the user
// chooses on a displayable (on the main thread, under the display's event
// lock).
#pragma once

#include "VMClass.h"

namespace javax::microedition::lcdui {

class Command;
class Displayable;

class CommandListener : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(CommandListener)

public:
    virtual void commandAction(VMPtr<Command> c, VMPtr<Displayable> d) = 0;
};

}  // namespace javax::microedition::lcdui
