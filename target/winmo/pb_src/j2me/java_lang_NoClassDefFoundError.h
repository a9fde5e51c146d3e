// java.lang.NoClassDefFoundError: a class used after its initialisation failed.
#pragma once

#include "java_lang_Error.h"

namespace java::lang {

class NoClassDefFoundError : public java::lang::Error {
    VM_DECLARE_THROWABLE(NoClassDefFoundError, Error)

public:
    VMPtr<NoClassDefFoundError> construct();
    VMPtr<NoClassDefFoundError> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
