// Throwing the runtime's own exceptions from native code. Every throw passes
// the object as a pointer to its most-derived class, so a handler for any
// class of its super-class chain catches it.
#pragma once

#include "VMTypes.h"

[[noreturn]] void _VM_throwOutOfMemoryError();
[[noreturn]] void _VM_throwIllegalArgumentException();
[[noreturn]] void _VM_throwIllegalMonitorStateException();
[[noreturn]] void _VM_throwClassNotFoundException();
[[noreturn]] void _VM_throwInstantiationException();
[[noreturn]] void _VM_throwIllegalAccessException();
[[noreturn]] void _VM_throwInterruptedException();
[[noreturn]] void _VM_throwNegativeArraySizeException();
[[noreturn]] void _VM_throwArrayIndexOutOfBoundsException(jint index);
[[noreturn]] void _VM_throwArrayStoreException();
[[noreturn]] void _VM_throwStringIndexOutOfBoundsException(jint index);
[[noreturn]] void _VM_throwIndexOutOfBoundsException();
// Throws an Error unchanged, wraps any other throwable in an
// ExceptionInInitializerError (a failed static initialiser).
[[noreturn]] void _VM_throwInitializerFailure(java::lang::Throwable* thrown);
// Rethrows a throwable by its own most-derived class.
[[noreturn]] void _VM_rethrow(java::lang::Throwable* thrown);
