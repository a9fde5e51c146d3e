// The exit request that Runtime.exit throws when exit is allowed. Not a
// throwable: only the run wrapper of a runtime thread catches it.
#pragma once

#include "VMObject.h"

class VMExitException : public virtual java::lang::Object {
public:
    jint status = 0;

    // A new request carrying the exit status, allocated like every object.
    static VMExitException* _VM_create(jint exitStatus);
    // Throws a new request, rooted as the current thread's object in flight.
    [[noreturn]] static void _VM_throw(jint exitStatus);
};
