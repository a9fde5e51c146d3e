// javax.microedition.io.InputConnection
#include "javax_microedition_io_InputConnection.h"

VM_REGISTER_CLASS(javax::microedition::io::InputConnection, .name = "javax.microedition.io.InputConnection",
                  .superName = "javax.microedition.io.Connection",
                  .sourceName = "target/winmo/pb_src/j2me/javax_microedition_io_InputConnection", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
