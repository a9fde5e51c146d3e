// java.lang.RuntimeException: the base of the exceptions that need not be declared.
#include "java_lang_RuntimeException.h"

namespace java::lang {

VMPtr<RuntimeException> RuntimeException::construct() {
    Super::construct();
    return this;
}

VMPtr<RuntimeException> RuntimeException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::RuntimeException, .name = "java.lang.RuntimeException",
                  .newInstance = _VM_newInstanceOf<java::lang::RuntimeException>)
