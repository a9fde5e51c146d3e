// ts.Resources$Type$Image: the type codes of images (-3 "png", -4 "jpg", 24 "gif").
#include "ts_Resources_TSC_Type_TSC_Image.h"

VM_REGISTER_CLASS(ts::Resources_TSC_Type_TSC_Image, .name = "ts.Resources$Type$Image", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
