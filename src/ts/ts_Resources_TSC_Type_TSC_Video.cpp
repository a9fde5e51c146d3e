// ts.Resources$Type$Video: the type codes of videos (14 "3gp" to 22 "mov").
#include "ts_Resources_TSC_Type_TSC_Video.h"

VM_REGISTER_CLASS(ts::Resources_TSC_Type_TSC_Video, .name = "ts.Resources$Type$Video", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
