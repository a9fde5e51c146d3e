// javax.microedition.io.Connection
#include "javax_microedition_io_Connection.h"

VM_REGISTER_CLASS(javax::microedition::io::Connection, .name = "javax.microedition.io.Connection",
                  .sourceName = "target/winmo/pb_src/j2me/javax_microedition_io_Connection", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
