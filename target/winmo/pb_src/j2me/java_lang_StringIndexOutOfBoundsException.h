// java.lang.StringIndexOutOfBoundsException: an index or range outside a string.
#pragma once

#include "java_lang_IndexOutOfBoundsException.h"

namespace java::lang {

class StringIndexOutOfBoundsException : public java::lang::IndexOutOfBoundsException {
    VM_DECLARE_THROWABLE(StringIndexOutOfBoundsException, IndexOutOfBoundsException)

public:
    VMPtr<StringIndexOutOfBoundsException> construct();
    VMPtr<StringIndexOutOfBoundsException> construct(VMPtr<java::lang::String> message);
    // The message "String index out of range: " followed by the index.
    VMPtr<StringIndexOutOfBoundsException> construct(jint index);
};

}  // namespace java::lang
