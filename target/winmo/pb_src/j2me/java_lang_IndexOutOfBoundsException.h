// java.lang.IndexOutOfBoundsException: an index outside its range; the base of the array and string ones.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class IndexOutOfBoundsException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(IndexOutOfBoundsException, RuntimeException)

public:
    VMPtr<IndexOutOfBoundsException> construct();
    VMPtr<IndexOutOfBoundsException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
