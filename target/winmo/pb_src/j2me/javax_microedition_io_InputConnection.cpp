// javax.microedition.io.InputConnection: a connection that can be read.
#include "javax_microedition_io_InputConnection.h"

VM_REGISTER_CLASS(javax::microedition::io::InputConnection, .name = "javax.microedition.io.InputConnection",
                  .superName = "javax.microedition.io.Connection", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
