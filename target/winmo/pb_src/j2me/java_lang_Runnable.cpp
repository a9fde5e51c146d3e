// java.lang.Runnable
#include "java_lang_Runnable.h"

VM_REGISTER_CLASS(java::lang::Runnable, .name = "java.lang.Runnable",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_Runnable", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
