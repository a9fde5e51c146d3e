// java.lang.Error
#include "java_lang_Error.h"

namespace java::lang {

VMPtr<Error> Error::construct() {
    java::lang::Throwable::construct();
    return this;
}

VMPtr<Error> Error::construct(VMPtr<java::lang::String> text) {
    java::lang::Throwable::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Error, .name = "java.lang.Error", .superName = "java.lang.Throwable",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_Error",
                  .newInstance = _VM_newInstanceOf<java::lang::Error>)
