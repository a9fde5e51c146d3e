// java.lang.NoClassDefFoundError: a class used after its initialisation failed.
#include "java_lang_NoClassDefFoundError.h"

namespace java::lang {

VMPtr<NoClassDefFoundError> NoClassDefFoundError::construct() {
    Super::construct();
    return this;
}

VMPtr<NoClassDefFoundError> NoClassDefFoundError::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::NoClassDefFoundError, .name = "java.lang.NoClassDefFoundError",
                  .newInstance = _VM_newInstanceOf<java::lang::NoClassDefFoundError>)
