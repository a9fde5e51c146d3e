// java.lang.NullPointerException: a null reference used where an object is needed.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class NullPointerException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(NullPointerException, RuntimeException)

public:
    VMPtr<NullPointerException> construct();
    VMPtr<NullPointerException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
