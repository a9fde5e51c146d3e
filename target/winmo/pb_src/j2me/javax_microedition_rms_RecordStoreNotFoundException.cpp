// javax.microedition.rms.RecordStoreNotFoundException: no record store of the name asked for.
#include "javax_microedition_rms_RecordStoreNotFoundException.h"

namespace javax::microedition::rms {

VMPtr<RecordStoreNotFoundException> RecordStoreNotFoundException::construct() {
    Super::construct();
    return this;
}

}  // namespace javax::microedition::rms

VM_REGISTER_CLASS(javax::microedition::rms::RecordStoreNotFoundException,
                  .name = "javax.microedition.rms.RecordStoreNotFoundException",
                  .newInstance = _VM_newInstanceOf<javax::microedition::rms::RecordStoreNotFoundException>)
