// java.lang.Error: the base of the failures an application is not expected to catch.
#include "java_lang_Error.h"

namespace java::lang {

VMPtr<Error> Error::construct() {
    Super::construct();
    return this;
}

VMPtr<Error> Error::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Error, .name = "java.lang.Error", .newInstance = _VM_newInstanceOf<java::lang::Error>)
