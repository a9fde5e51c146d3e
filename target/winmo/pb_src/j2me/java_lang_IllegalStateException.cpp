// java.lang.IllegalStateException
#include "java_lang_IllegalStateException.h"

namespace java::lang {

VMPtr<IllegalStateException> IllegalStateException::construct() {
    java::lang::RuntimeException::construct();
    return this;
}

VMPtr<IllegalStateException> IllegalStateException::construct(VMPtr<java::lang::String> text) {
    java::lang::RuntimeException::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::IllegalStateException, .name = "java.lang.IllegalStateException", .superName = "java.lang.RuntimeException",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_IllegalStateException",
                  .newInstance = _VM_newInstanceOf<java::lang::IllegalStateException>)
