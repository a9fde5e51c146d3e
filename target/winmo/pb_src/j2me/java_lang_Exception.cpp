// java.lang.Exception: the base of the conditions an application may catch.
#include "java_lang_Exception.h"

namespace java::lang {

VMPtr<Exception> Exception::construct() {
    Super::construct();
    return this;
}

VMPtr<Exception> Exception::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Exception, .name = "java.lang.Exception",
                  .newInstance = _VM_newInstanceOf<java::lang::Exception>)
