// java.io.DataOutput
#include "java_io_DataOutput.h"

VM_REGISTER_CLASS(java::io::DataOutput, .name = "java.io.DataOutput", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
