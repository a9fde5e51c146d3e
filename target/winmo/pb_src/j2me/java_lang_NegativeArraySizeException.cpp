// java.lang.NegativeArraySizeException: an array made with a negative length.
#include "java_lang_NegativeArraySizeException.h"

namespace java::lang {

VMPtr<NegativeArraySizeException> NegativeArraySizeException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::NegativeArraySizeException, .name = "java.lang.NegativeArraySizeException",
                  .newInstance = _VM_newInstanceOf<java::lang::NegativeArraySizeException>)
