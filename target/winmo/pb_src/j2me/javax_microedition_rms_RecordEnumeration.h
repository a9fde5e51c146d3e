// javax.microedition.rms.RecordEnumeration: a walk forwards and backwards over
// the ids of a record store's records, optionally filtered and sorted.
#pragma once

#include "VMArray.h"
#include "VMClass.h"

namespace javax::microedition::rms {

class RecordEnumeration : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(RecordEnumeration)

public:
    virtual jint numRecords() = 0;
    virtual VMPtr<VMArray<jbyte, 1>> nextRecord() = 0;
    virtual jint nextRecordId() = 0;
    virtual VMPtr<VMArray<jbyte, 1>> previousRecord() = 0;
    virtual jint previousRecordId() = 0;
    virtual jboolean hasNextElement() = 0;
    virtual jboolean hasPreviousElement() = 0;
    virtual void reset() = 0;
    virtual void rebuild() = 0;
    virtual void keepUpdated(jboolean keepUpdated) = 0;
    virtual jboolean isKeptUpdated() = 0;
    virtual void destroy() = 0;
};

}  // namespace javax::microedition::rms
