// javax.microedition.io.OutputConnection: a connection that can be written.
#include "javax_microedition_io_OutputConnection.h"

VM_REGISTER_CLASS(javax::microedition::io::OutputConnection, .name = "javax.microedition.io.OutputConnection",
                  .superName = "javax.microedition.io.Connection", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
