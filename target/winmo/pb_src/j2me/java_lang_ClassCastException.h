// java.lang.ClassCastException: a cast to a class the object is not of.
#pragma once

#include "java_lang_RuntimeException.h"

namespace java::lang {

class ClassCastException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(ClassCastException, RuntimeException)

public:
    VMPtr<ClassCastException> construct();
};

}  // namespace java::lang
