// java.lang.InterruptedException: a thread interrupted while it waited or slept.
#include "java_lang_InterruptedException.h"

namespace java::lang {

VMPtr<InterruptedException> InterruptedException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::InterruptedException, .name = "java.lang.InterruptedException",
                  .newInstance = _VM_newInstanceOf<java::lang::InterruptedException>)
