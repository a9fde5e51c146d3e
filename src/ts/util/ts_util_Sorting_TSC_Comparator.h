// ts.util.Sorting$Comparator: a registered interface without operations.
#pragma once

#include "VMClass.h"

namespace ts::util {

class Sorting_TSC_Comparator : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Sorting_TSC_Comparator)
};

}  // namespace ts::util
