// java.lang.Exception
#include "java_lang_Exception.h"

namespace java::lang {

VMPtr<Exception> Exception::construct() {
    java::lang::Throwable::construct();
    return this;
}

VMPtr<Exception> Exception::construct(VMPtr<java::lang::String> text) {
    java::lang::Throwable::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Exception, .name = "java.lang.Exception", .superName = "java.lang.Throwable",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_Exception",
                  .newInstance = _VM_newInstanceOf<java::lang::Exception>)
