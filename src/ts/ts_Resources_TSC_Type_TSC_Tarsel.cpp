// ts.Resources$Type$Tarsel: the type codes of the framework's own formats.
#include "ts_Resources_TSC_Type_TSC_Tarsel.h"

VM_REGISTER_CLASS(ts::Resources_TSC_Type_TSC_Tarsel, .name = "ts.Resources$Type$Tarsel", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
