// javax.microedition.rms.RecordStoreException: the failure of a record-store operation. Thrown without a message.
#pragma once

#include "java_lang_Exception.h"

namespace javax::microedition::rms {

class RecordStoreException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(RecordStoreException, java::lang::Exception)

public:
    VMPtr<RecordStoreException> construct();
};

}  // namespace javax::microedition::rms
