// javax.microedition.rms.InvalidRecordIDException: a record id without a record.
#include "javax_microedition_rms_InvalidRecordIDException.h"

namespace javax::microedition::rms {

VMPtr<InvalidRecordIDException> InvalidRecordIDException::construct() {
    Super::construct();
    return this;
}

}  // namespace javax::microedition::rms

VM_REGISTER_CLASS(javax::microedition::rms::InvalidRecordIDException,
                  .name = "javax.microedition.rms.InvalidRecordIDException",
                  .newInstance = _VM_newInstanceOf<javax::microedition::rms::InvalidRecordIDException>)
