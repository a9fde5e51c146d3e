// ts.util.Sorting: a registered class of the utilities package without operations of its own.
#include "ts_util_Sorting.h"

VM_REGISTER_CLASS(ts::util::Sorting, .name = "ts.util.Sorting")
