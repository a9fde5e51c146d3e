// java.lang.InstantiationException: Class.newInstance of an interface, an abstract or an array class.
#pragma once

#include "java_lang_Exception.h"

namespace java::lang {

class InstantiationException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(InstantiationException, Exception)

public:
    VMPtr<InstantiationException> construct();
    VMPtr<InstantiationException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
