// java.util.Enumeration
#include "java_util_Enumeration.h"

VM_REGISTER_CLASS(java::util::Enumeration, .name = "java.util.Enumeration",
                  .sourceName = "target/winmo/pb_src/j2me/java_util_Enumeration", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
