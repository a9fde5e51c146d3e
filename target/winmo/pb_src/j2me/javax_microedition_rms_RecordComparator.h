// javax.microedition.rms.RecordComparator: orders the records of an
// enumeration. Implemented by the application; the interface has no class
// record.
#pragma once

#include "VMArray.h"

namespace javax::microedition::rms {

class RecordComparator : public virtual java::lang::Object {
public:
    static constexpr jint PRECEDES = -1;   // the first record comes before the second
    static constexpr jint FOLLOWS = 1;     // the first record comes after the second
    static constexpr jint EQUIVALENT = 0;  // any other result counts as this too

    virtual jint compare(VMPtr<VMArray<jbyte, 1>> rec1, VMPtr<VMArray<jbyte, 1>> rec2) = 0;
};

}  // namespace javax::microedition::rms
