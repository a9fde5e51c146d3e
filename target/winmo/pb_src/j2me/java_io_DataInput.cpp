// java.io.DataInput: reading primitive values and modified UTF-8 strings in big-endian order.
#include "java_io_DataInput.h"

VM_REGISTER_CLASS(java::io::DataInput, .name = "java.io.DataInput", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
