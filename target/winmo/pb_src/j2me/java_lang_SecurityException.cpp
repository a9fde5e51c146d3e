// java.lang.SecurityException: an operation the application is not allowed.
#include "java_lang_SecurityException.h"

namespace java::lang {

VMPtr<SecurityException> SecurityException::construct() {
    Super::construct();
    return this;
}

VMPtr<SecurityException> SecurityException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::SecurityException, .name = "java.lang.SecurityException",
                  .newInstance = _VM_newInstanceOf<java::lang::SecurityException>)
