// ts.Resources$Type$Audio
#include "ts_Resources_TSC_Type_TSC_Audio.h"

VM_REGISTER_CLASS(ts::Resources_TSC_Type_TSC_Audio, .name = "ts.Resources$Type$Audio", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
