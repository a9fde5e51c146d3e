// java.lang.IllegalArgumentException: an argument outside what an operation takes.
#include "java_lang_IllegalArgumentException.h"

namespace java::lang {

VMPtr<IllegalArgumentException> IllegalArgumentException::construct() {
    Super::construct();
    return this;
}

VMPtr<IllegalArgumentException> IllegalArgumentException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::IllegalArgumentException, .name = "java.lang.IllegalArgumentException",
                  .newInstance = _VM_newInstanceOf<java::lang::IllegalArgumentException>)
