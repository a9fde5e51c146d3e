// java.lang.Exception: the base of the conditions an application may catch.
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
