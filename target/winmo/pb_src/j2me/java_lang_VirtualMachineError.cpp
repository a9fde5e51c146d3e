// java.lang.VirtualMachineError: the base of the failures of the runtime itself.
#include "java_lang_VirtualMachineError.h"

namespace java::lang {

VMPtr<VirtualMachineError> VirtualMachineError::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::VirtualMachineError, .name = "java.lang.VirtualMachineError",
                  .newInstance = _VM_newInstanceOf<java::lang::VirtualMachineError>)
