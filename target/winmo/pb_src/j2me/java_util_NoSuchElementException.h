// java.util.NoSuchElementException: a walk asked for an element past its end.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::util {

class NoSuchElementException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(NoSuchElementException, java::lang::RuntimeException)

public:
    VMPtr<NoSuchElementException> construct();
    VMPtr<NoSuchElementException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::util
