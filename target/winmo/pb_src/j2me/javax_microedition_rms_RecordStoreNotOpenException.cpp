// javax.microedition.rms.RecordStoreNotOpenException: an operation on a closed record store.
#include "javax_microedition_rms_RecordStoreNotOpenException.h"

namespace javax::microedition::rms {

VMPtr<RecordStoreNotOpenException> RecordStoreNotOpenException::construct() {
    Super::construct();
    return this;
}

}  // namespace javax::microedition::rms

VM_REGISTER_CLASS(javax::microedition::rms::RecordStoreNotOpenException,
                  .name = "javax.microedition.rms.RecordStoreNotOpenException",
                  .newInstance = _VM_newInstanceOf<javax::microedition::rms::RecordStoreNotOpenException>)
