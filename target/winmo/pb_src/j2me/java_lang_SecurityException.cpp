// java.lang.SecurityException
#include "java_lang_SecurityException.h"

namespace java::lang {

VMPtr<SecurityException> SecurityException::construct() {
    java::lang::RuntimeException::construct();
    return this;
}

VMPtr<SecurityException> SecurityException::construct(VMPtr<java::lang::String> text) {
    java::lang::RuntimeException::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::SecurityException, .name = "java.lang.SecurityException", .superName = "java.lang.RuntimeException",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_SecurityException",
                  .newInstance = _VM_newInstanceOf<java::lang::SecurityException>)
