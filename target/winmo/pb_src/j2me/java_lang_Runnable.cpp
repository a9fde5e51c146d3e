// java.lang.Runnable: the interface of the code a thread runs.
#include "java_lang_Runnable.h"

VM_REGISTER_CLASS(java::lang::Runnable, .name = "java.lang.Runnable", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
