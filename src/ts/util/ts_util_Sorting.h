// ts.util.Sorting: a registered class of the utilities package without
// operations of its own.
#pragma once

#include "VMClass.h"

namespace ts::util {

class Sorting : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Sorting, java::lang::Object)
};

}  // namespace ts::util
