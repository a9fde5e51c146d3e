// java.lang.IllegalMonitorStateException
#include "java_lang_IllegalMonitorStateException.h"

namespace java::lang {

VMPtr<IllegalMonitorStateException> IllegalMonitorStateException::construct() {
    java::lang::RuntimeException::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::IllegalMonitorStateException, .name = "java.lang.IllegalMonitorStateException", .superName = "java.lang.RuntimeException",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_IllegalMonitorStateException",
                  .newInstance = _VM_newInstanceOf<java::lang::IllegalMonitorStateException>)
