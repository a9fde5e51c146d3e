// ts.util.Sorting
#include "ts_util_Sorting.h"

VM_REGISTER_CLASS(ts::util::Sorting, .name = "ts.util.Sorting")
