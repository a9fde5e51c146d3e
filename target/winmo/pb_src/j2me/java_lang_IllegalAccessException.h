// java.lang.IllegalAccessException: Class.newInstance of a class that cannot be made that way.
#pragma once

#include "java_lang_Exception.h"

namespace java::lang {

class IllegalAccessException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(IllegalAccessException, Exception)

public:
    VMPtr<IllegalAccessException> construct();
};

}  // namespace java::lang
