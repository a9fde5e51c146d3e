// java.io.DataInput
#include "java_io_DataInput.h"

VM_REGISTER_CLASS(java::io::DataInput, .name = "java.io.DataInput",
                  .sourceName = "target/winmo/pb_src/j2me/java_io_DataInput", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
