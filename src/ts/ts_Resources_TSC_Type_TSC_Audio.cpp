// ts.Resources$Type$Audio: the type codes of sounds (0 "mid" to 12 "adp", 25 "caf" to 28 "m4a").
#include "ts_Resources_TSC_Type_TSC_Audio.h"

VM_REGISTER_CLASS(ts::Resources_TSC_Type_TSC_Audio, .name = "ts.Resources$Type$Audio", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
