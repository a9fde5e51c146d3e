// ts.ResourcesExt: an empty companion class of ts.Resources.
#include "ts_ResourcesExt.h"

VM_REGISTER_CLASS(ts::ResourcesExt, .name = "ts.ResourcesExt", .newInstance = _VM_newInstanceOf<ts::ResourcesExt>)
