// The exit request that Runtime.exit throws when exit is allowed. Not a
// throwable: only the run wrapper of a runtime thread catches it.
#pragma once

#include "VMObject.h"

class VMExitException : public virtual java::lang::Object {
public:
    jint status = 0;
};
