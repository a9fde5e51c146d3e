// java.io.DataInput
#include "java_io_DataInput.h"

VM_REGISTER_CLASS(java::io::DataInput, .name = "java.io.DataInput", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
