// com.ventrix.common.LevelReceiver
#include "com_ventrix_common_LevelReceiver.h"

namespace com::ventrix::common {

VMPtr<LevelReceiver> LevelReceiver::construct() {
    Super::construct();
    return this;
}

}  // namespace com::ventrix::common

VM_REGISTER_CLASS(com::ventrix::common::LevelReceiver, .name = "com.ventrix.common.LevelReceiver", .isAbstract = true)
