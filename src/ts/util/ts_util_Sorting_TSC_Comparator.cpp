// ts.util.Sorting$Comparator: a registered interface without operations.
#include "ts_util_Sorting_TSC_Comparator.h"

VM_REGISTER_CLASS(ts::util::Sorting_TSC_Comparator, .name = "ts.util.Sorting$Comparator", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
