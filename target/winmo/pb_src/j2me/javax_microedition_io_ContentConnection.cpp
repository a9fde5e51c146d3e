// javax.microedition.io.ContentConnection: a stream connection whose content has a type, an encoding and a length.
#include "javax_microedition_io_ContentConnection.h"

VM_REGISTER_CLASS(javax::microedition::io::ContentConnection, .name = "javax.microedition.io.ContentConnection",
                  .superName = "javax.microedition.io.StreamConnection", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
