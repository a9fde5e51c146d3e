// java.lang.InstantiationException: Class.newInstance of an interface, an abstract or an array class.
#include "java_lang_InstantiationException.h"

namespace java::lang {

VMPtr<InstantiationException> InstantiationException::construct() {
    Super::construct();
    return this;
}

VMPtr<InstantiationException> InstantiationException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::InstantiationException, .name = "java.lang.InstantiationException",
                  .newInstance = _VM_newInstanceOf<java::lang::InstantiationException>)
