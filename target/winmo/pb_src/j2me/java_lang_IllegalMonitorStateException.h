// java.lang.IllegalMonitorStateException: wait or notify without holding the monitor.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class IllegalMonitorStateException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(IllegalMonitorStateException, RuntimeException)

public:
    VMPtr<IllegalMonitorStateException> construct();
};

}  // namespace java::lang
