// java.lang.Error: the base of the failures an application is not expected to catch.
#pragma once

#include "java_lang_Throwable.h"

namespace java::lang {

class Error : public java::lang::Throwable {
    VM_DECLARE_THROWABLE(Error, Throwable)

public:
    VMPtr<Error> construct();
    VMPtr<Error> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::lang
