// java.lang.SecurityException: an operation the application is not allowed.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class SecurityException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(SecurityException, RuntimeException)

public:
    VMPtr<SecurityException> construct();
    VMPtr<SecurityException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
