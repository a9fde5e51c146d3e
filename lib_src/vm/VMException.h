// The common base of every throwable: no fields, no operations.
#pragma once

#include "VMObject.h"

class VMException : public virtual java::lang::Object {};

// Roots the throwable for the current thread while it is in flight.
void _VM_setInFlight(java::lang::Object* thrown);

// Inside the body of every throwable class: the allocation step and the
// throw by the object's own most-derived class.
#define VM_DECLARE_THROWABLE(X, S)           \
    VM_DECLARE_CLASS(X, S)                   \
    [[noreturn]] void _VM_throw() override { \
        _VM_setInFlight(this);               \
        throw this;                          \
    }
