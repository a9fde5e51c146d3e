// javax.microedition.rms.RecordFilter: chooses the records an enumeration
// holds. Implemented by the application; the interface has no class record.
#pragma once

#include "VMArray.h"

namespace javax::microedition::rms {

class RecordFilter : public virtual java::lang::Object {
public:
    // Whether the record of this content belongs in the enumeration.
    virtual jboolean matches(VMPtr<VMArray<jbyte, 1>> candidate) = 0;
};

}  // namespace javax::microedition::rms
