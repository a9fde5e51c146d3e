// ts.ResourcesExt
#include "ts_ResourcesExt.h"

VM_REGISTER_CLASS(ts::ResourcesExt, .name = "ts.ResourcesExt", .newInstance = _VM_newInstanceOf<ts::ResourcesExt>)
