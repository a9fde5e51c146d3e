// javax.microedition.io.ContentConnection
#include "javax_microedition_io_ContentConnection.h"

VM_REGISTER_CLASS(javax::microedition::io::ContentConnection, .name = "javax.microedition.io.ContentConnection",
                  .superName = "javax.microedition.io.StreamConnection", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
