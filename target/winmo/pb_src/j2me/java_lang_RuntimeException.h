// java.lang.RuntimeException: the base of the exceptions that need not be declared.
#pragma once

#include "java_lang_Exception.h"

namespace java::lang {

class RuntimeException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(RuntimeException, Exception)

public:
    VMPtr<RuntimeException> construct();
    VMPtr<RuntimeException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
