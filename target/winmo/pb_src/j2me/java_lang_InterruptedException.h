// java.lang.InterruptedException: a thread interrupted while it waited or slept.
#pragma once

#include "java_lang_Exception.h"

namespace java::lang {

class InterruptedException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(InterruptedException, Exception)

public:
    VMPtr<InterruptedException> construct();
};

}  // namespace java::lang
