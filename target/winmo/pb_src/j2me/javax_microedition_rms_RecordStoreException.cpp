// javax.microedition.rms.RecordStoreException: the failure of a record-store operation.
#include "javax_microedition_rms_RecordStoreException.h"

namespace javax::microedition::rms {

VMPtr<RecordStoreException> RecordStoreException::construct() {
    Super::construct();
    return this;
}

}  // namespace javax::microedition::rms

VM_REGISTER_CLASS(javax::microedition::rms::RecordStoreException, .name = "javax.microedition.rms.RecordStoreException",
                  .newInstance = _VM_newInstanceOf<javax::microedition::rms::RecordStoreException>)
