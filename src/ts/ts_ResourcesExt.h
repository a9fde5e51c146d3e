// ts.ResourcesExt: an empty companion class of ts.Resources.
#pragma once

#include "VMClass.h"

namespace ts {

class ResourcesExt : public virtual java::lang::Object {
    VM_DECLARE_CLASS(ResourcesExt, java::lang::Object)

public:
    VMPtr<ResourcesExt> construct() {
        Super::construct();
        return this;
    }
};

}  // namespace ts
