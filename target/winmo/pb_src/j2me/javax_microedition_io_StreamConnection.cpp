// javax.microedition.io.StreamConnection: a connection that can be read and written.
#include "javax_microedition_io_StreamConnection.h"

VM_REGISTER_CLASS(javax::microedition::io::StreamConnection, .name = "javax.microedition.io.StreamConnection",
                  .superName = "javax.microedition.io.InputConnection", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true, .interfaces = {"javax.microedition.io.OutputConnection"})
