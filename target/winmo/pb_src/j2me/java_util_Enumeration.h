// java.util.Enumeration: a one-way walk over a sequence of objects.
#pragma once

#include "VMClass.h"

namespace java::util {

class Enumeration : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Enumeration)

public:
    // Whether nextElement() has another object to hand out.
    virtual jboolean hasMoreElements() = 0;
    // The next object; NoSuchElementException when the walk is over.
    virtual VMPtr<java::lang::Object> nextElement() = 0;
};

}  // namespace java::util
