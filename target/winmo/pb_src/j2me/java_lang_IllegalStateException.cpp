// java.lang.IllegalStateException: an operation asked for at a time its object does not allow.
#include "java_lang_IllegalStateException.h"

namespace java::lang {

VMPtr<IllegalStateException> IllegalStateException::construct() {
    Super::construct();
    return this;
}

VMPtr<IllegalStateException> IllegalStateException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::IllegalStateException, .name = "java.lang.IllegalStateException",
                  .newInstance = _VM_newInstanceOf<java::lang::IllegalStateException>)
