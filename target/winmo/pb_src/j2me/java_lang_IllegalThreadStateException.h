// java.lang.IllegalThreadStateException: a thread started twice.
#pragma once

#include "java_lang_IllegalArgumentException.h"

namespace java::lang {

class IllegalThreadStateException : public java::lang::IllegalArgumentException {
    VM_DECLARE_THROWABLE(IllegalThreadStateException, IllegalArgumentException)

public:
    VMPtr<IllegalThreadStateException> construct();
};

}  // namespace java::lang
