// ts.GobTextureHelper: a registered class without operations.
#pragma once

#include "VM.h"

namespace ts {

class GobTextureHelper : public virtual java::lang::Object {
    VM_DECLARE_CLASS(GobTextureHelper, java::lang::Object)

public:
    VMPtr<GobTextureHelper> construct();
};

}  // namespace ts
