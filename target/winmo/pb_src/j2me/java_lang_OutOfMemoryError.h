// java.lang.OutOfMemoryError: an allocation that the heap cannot hold even after a collection.
#pragma once

#include "java_lang_VirtualMachineError.h"

namespace java::lang {

class OutOfMemoryError : public java::lang::VirtualMachineError {
    VM_DECLARE_THROWABLE(OutOfMemoryError, VirtualMachineError)

public:
    VMPtr<OutOfMemoryError> construct();
};

}  // namespace java::lang
