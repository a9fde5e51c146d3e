// java.lang.IllegalStateException: an operation asked for at a time its object does not allow.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class IllegalStateException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(IllegalStateException, RuntimeException)

public:
    VMPtr<IllegalStateException> construct();
    VMPtr<IllegalStateException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
