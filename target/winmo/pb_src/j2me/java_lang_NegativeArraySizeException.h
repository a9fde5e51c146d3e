// java.lang.NegativeArraySizeException: an array made with a negative length.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class NegativeArraySizeException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(NegativeArraySizeException, RuntimeException)

public:
    VMPtr<NegativeArraySizeException> construct();
};

}  // namespace java::lang
