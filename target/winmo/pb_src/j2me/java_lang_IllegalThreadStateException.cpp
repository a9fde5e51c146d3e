// java.lang.IllegalThreadStateException: a thread started twice.
#include "java_lang_IllegalThreadStateException.h"

namespace java::lang {

VMPtr<IllegalThreadStateException> IllegalThreadStateException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::IllegalThreadStateException, .name = "java.lang.IllegalThreadStateException",
                  .newInstance = _VM_newInstanceOf<java::lang::IllegalThreadStateException>)
