// java.lang.VirtualMachineError: the base of the failures of the runtime itself.
#pragma once

#include "java_lang_Error.h"

namespace java::lang {

class VirtualMachineError : public java::lang::Error {
    VM_DECLARE_THROWABLE(VirtualMachineError, Error)

public:
    VMPtr<VirtualMachineError> construct();
};

}  // namespace java::lang
