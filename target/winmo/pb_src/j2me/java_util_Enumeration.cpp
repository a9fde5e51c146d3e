// java.util.Enumeration: a one-way walk over a sequence of objects.
#include "java_util_Enumeration.h"

VM_REGISTER_CLASS(java::util::Enumeration, .name = "java.util.Enumeration", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
