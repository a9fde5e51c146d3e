// ts.Resources$Type: groups the resource type codes.
#include "ts_Resources_TSC_Type.h"

VM_REGISTER_CLASS(ts::Resources_TSC_Type, .name = "ts.Resources$Type", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
