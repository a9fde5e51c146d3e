// javax.microedition.rms.InvalidRecordIDException: a record id without a record, or a walk past either end of an enumeration. Thrown without a message.
#pragma once

#include "javax_microedition_rms_RecordStoreException.h"

namespace javax::microedition::rms {

class InvalidRecordIDException : public RecordStoreException {
    VM_DECLARE_THROWABLE(InvalidRecordIDException, RecordStoreException)

public:
    VMPtr<InvalidRecordIDException> construct();
};

}  // namespace javax::microedition::rms
