// java.lang.IllegalMonitorStateException: wait or notify without holding the monitor.
#include "java_lang_IllegalMonitorStateException.h"

namespace java::lang {

VMPtr<IllegalMonitorStateException> IllegalMonitorStateException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::IllegalMonitorStateException, .name = "java.lang.IllegalMonitorStateException",
                  .newInstance = _VM_newInstanceOf<java::lang::IllegalMonitorStateException>)
