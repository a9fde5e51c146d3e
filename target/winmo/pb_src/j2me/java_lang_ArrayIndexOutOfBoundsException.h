// java.lang.ArrayIndexOutOfBoundsException: an array index below 0 or past the end.
#pragma once

#include "java_lang_IndexOutOfBoundsException.h"

namespace java::lang {

class ArrayIndexOutOfBoundsException : public java::lang::IndexOutOfBoundsException {
    VM_DECLARE_THROWABLE(ArrayIndexOutOfBoundsException, IndexOutOfBoundsException)

public:
    VMPtr<ArrayIndexOutOfBoundsException> construct();
    VMPtr<ArrayIndexOutOfBoundsException> construct(VMPtr<java::lang::String> message);
    // The message "Array index out of range: " followed by the index.
    VMPtr<ArrayIndexOutOfBoundsException> construct(jint index);
};

}  // namespace java::lang
