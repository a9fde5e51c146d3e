// javax.microedition.lcdui.CommandListener: told of the commands the user chooses.
#include "javax_microedition_lcdui_CommandListener.h"

VM_REGISTER_CLASS(javax::microedition::lcdui::CommandListener, .name = "javax.microedition.lcdui.CommandListener",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
