// java.lang.RuntimeException
#include "java_lang_RuntimeException.h"

namespace java::lang {

VMPtr<RuntimeException> RuntimeException::construct() {
    java::lang::Exception::construct();
    return this;
}

VMPtr<RuntimeException> RuntimeException::construct(VMPtr<java::lang::String> text) {
    java::lang::Exception::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::RuntimeException, .name = "java.lang.RuntimeException", .superName = "java.lang.Exception",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_RuntimeException",
                  .newInstance = _VM_newInstanceOf<java::lang::RuntimeException>)
