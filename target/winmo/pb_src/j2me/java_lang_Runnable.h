// java.lang.Runnable: the interface of the code a thread runs.
#pragma once

#include "VMClass.h"

namespace java::lang {

class Runnable : public virtual Object {
    VM_DECLARE_INTERFACE(Runnable)

public:
    virtual void run() = 0;
};

}  // namespace java::lang
