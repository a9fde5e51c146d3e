// java.lang.NumberFormatException: text that does not read as a number.
#pragma once

#include "java_lang_IllegalArgumentException.h"

namespace java::lang {

class NumberFormatException : public java::lang::IllegalArgumentException {
    VM_DECLARE_THROWABLE(NumberFormatException, IllegalArgumentException)

public:
    VMPtr<NumberFormatException> construct();
    VMPtr<NumberFormatException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
