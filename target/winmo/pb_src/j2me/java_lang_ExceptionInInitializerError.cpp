// java.lang.ExceptionInInitializerError: a static initialiser ended with a throwable that is not an Error.
#include "java_lang_ExceptionInInitializerError.h"

namespace java::lang {

VMPtr<ExceptionInInitializerError> ExceptionInInitializerError::construct() {
    Super::construct();
    return this;
}

VMPtr<ExceptionInInitializerError> ExceptionInInitializerError::construct(VMPtr<Throwable> thrown) {
    Super::construct();
    exception = thrown;
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::ExceptionInInitializerError, .name = "java.lang.ExceptionInInitializerError",
                  .newInstance = _VM_newInstanceOf<java::lang::ExceptionInInitializerError>)
