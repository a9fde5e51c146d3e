// java.lang.NoClassDefFoundError
#include "java_lang_NoClassDefFoundError.h"

namespace java::lang {

VMPtr<NoClassDefFoundError> NoClassDefFoundError::construct() {
    java::lang::Error::construct();
    return this;
}

VMPtr<NoClassDefFoundError> NoClassDefFoundError::construct(VMPtr<java::lang::String> text) {
    java::lang::Error::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::NoClassDefFoundError, .name = "java.lang.NoClassDefFoundError", .superName = "java.lang.Error",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_NoClassDefFoundError",
                  .newInstance = _VM_newInstanceOf<java::lang::NoClassDefFoundError>)
