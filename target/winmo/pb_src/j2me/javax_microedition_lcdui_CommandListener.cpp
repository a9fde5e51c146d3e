// javax.microedition.lcdui.CommandListener
#include "javax_microedition_lcdui_CommandListener.h"

VM_REGISTER_CLASS(javax::microedition::lcdui::CommandListener, .name = "javax.microedition.lcdui.CommandListener",
                  .sourceName = "target/winmo/pb_src/j2me/javax_microedition_lcdui_CommandListener",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
