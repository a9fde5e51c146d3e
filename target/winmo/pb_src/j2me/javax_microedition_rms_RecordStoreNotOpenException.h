// javax.microedition.rms.RecordStoreNotOpenException: an operation on a closed record store. Thrown without a message.
#pragma once

#include "javax_microedition_rms_RecordStoreException.h"

namespace javax::microedition::rms {

class RecordStoreNotOpenException : public RecordStoreException {
    VM_DECLARE_THROWABLE(RecordStoreNotOpenException, RecordStoreException)

public:
    VMPtr<RecordStoreNotOpenException> construct();
};

}  // namespace javax::microedition::rms
