// java.lang.NullPointerException
#include "java_lang_NullPointerException.h"

namespace java::lang {

VMPtr<NullPointerException> NullPointerException::construct() {
    java::lang::RuntimeException::construct();
    return this;
}

VMPtr<NullPointerException> NullPointerException::construct(VMPtr<java::lang::String> text) {
    java::lang::RuntimeException::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::NullPointerException, .name = "java.lang.NullPointerException", .superName = "java.lang.RuntimeException",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_NullPointerException",
                  .newInstance = _VM_newInstanceOf<java::lang::NullPointerException>)
