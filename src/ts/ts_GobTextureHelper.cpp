// ts.GobTextureHelper: a registered class without operations.
#include "ts_GobTextureHelper.h"

namespace ts {

VMPtr<GobTextureHelper> GobTextureHelper::construct() {
    Super::construct();
    return this;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::GobTextureHelper, .name = "ts.GobTextureHelper")
