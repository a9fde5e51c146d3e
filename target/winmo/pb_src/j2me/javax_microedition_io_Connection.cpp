// javax.microedition.io.Connection: the base of every connection.
#include "javax_microedition_io_Connection.h"

VM_REGISTER_CLASS(javax::microedition::io::Connection, .name = "javax.microedition.io.Connection",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
