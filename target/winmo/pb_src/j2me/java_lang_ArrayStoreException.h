// java.lang.ArrayStoreException: an object stored into an array of a type it does not have.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class ArrayStoreException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(ArrayStoreException, RuntimeException)

public:
    VMPtr<ArrayStoreException> construct();
};

}  // namespace java::lang
