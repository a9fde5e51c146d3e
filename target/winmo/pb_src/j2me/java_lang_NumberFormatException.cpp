// java.lang.NumberFormatException: text that does not read as a number.
#include "java_lang_NumberFormatException.h"

namespace java::lang {

VMPtr<NumberFormatException> NumberFormatException::construct() {
    Super::construct();
    return this;
}

VMPtr<NumberFormatException> NumberFormatException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::NumberFormatException, .name = "java.lang.NumberFormatException",
                  .newInstance = _VM_newInstanceOf<java::lang::NumberFormatException>)
