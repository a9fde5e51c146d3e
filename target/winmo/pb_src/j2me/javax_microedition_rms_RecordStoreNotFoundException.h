// javax.microedition.rms.RecordStoreNotFoundException: no record store of the name asked for. Thrown without a message.
#pragma once

#include "javax_microedition_rms_RecordStoreException.h"

namespace javax::microedition::rms {

class RecordStoreNotFoundException : public RecordStoreException {
    VM_DECLARE_THROWABLE(RecordStoreNotFoundException, RecordStoreException)

public:
    VMPtr<RecordStoreNotFoundException> construct();
};

}  // namespace javax::microedition::rms
