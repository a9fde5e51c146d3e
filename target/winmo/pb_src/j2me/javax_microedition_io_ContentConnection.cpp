// javax.microedition.io.ContentConnection
#include "javax_microedition_io_ContentConnection.h"

VM_REGISTER_CLASS(javax::microedition::io::ContentConnection, .name = "javax.microedition.io.ContentConnection",
                  .superName = "javax.microedition.io.StreamConnection",
                  .sourceName = "target/winmo/pb_src/j2me/javax_microedition_io_ContentConnection", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
