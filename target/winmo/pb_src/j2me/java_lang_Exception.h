// java.lang.Exception
#pragma once

#include "java_lang_Throwable.h"

namespace java::lang {

class Exception : public java::lang::Throwable {
    VM_DECLARE_THROWABLE(Exception, Throwable)

public:
    VMPtr<Exception> construct();
    VMPtr<Exception> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
