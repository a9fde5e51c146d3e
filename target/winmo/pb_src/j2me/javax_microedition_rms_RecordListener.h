// javax.microedition.rms.RecordListener: told of every record added, changed
// or deleted through the RecordStore object it listens to.
#pragma once

#include "VMClass.h"

namespace javax::microedition::rms {

class RecordStore;

class RecordListener : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(RecordListener)

public:
    virtual void recordAdded(VMPtr<RecordStore> recordStore, jint recordId) = 0;
    virtual void recordChanged(VMPtr<RecordStore> recordStore, jint recordId) = 0;
    virtual void recordDeleted(VMPtr<RecordStore> recordStore, jint recordId) = 0;
};

}  // namespace javax::microedition::rms
