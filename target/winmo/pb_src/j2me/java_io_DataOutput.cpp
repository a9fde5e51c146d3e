// java.io.DataOutput: writing primitive values and modified UTF-8 strings in big-endian order.
#include "java_io_DataOutput.h"

VM_REGISTER_CLASS(java::io::DataOutput, .name = "java.io.DataOutput", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
