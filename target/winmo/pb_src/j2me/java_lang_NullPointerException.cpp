// java.lang.NullPointerException: a null reference used where an object is needed.
#include "java_lang_NullPointerException.h"

namespace java::lang {

VMPtr<NullPointerException> NullPointerException::construct() {
    Super::construct();
    return this;
}

VMPtr<NullPointerException> NullPointerException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::NullPointerException, .name = "java.lang.NullPointerException",
                  .newInstance = _VM_newInstanceOf<java::lang::NullPointerException>)
