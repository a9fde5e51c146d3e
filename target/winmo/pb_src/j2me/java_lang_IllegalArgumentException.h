// java.lang.IllegalArgumentException: an argument outside what an operation takes.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class IllegalArgumentException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(IllegalArgumentException, RuntimeException)

public:
    VMPtr<IllegalArgumentException> construct();
    VMPtr<IllegalArgumentException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
