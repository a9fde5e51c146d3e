// java.lang.ClassNotFoundException: a class name that is not registered.
#pragma once

#include "java_lang_Exception.h"

namespace java::lang {

class ClassNotFoundException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(ClassNotFoundException, Exception)

public:
    VMPtr<ClassNotFoundException> construct();
};

}  // namespace java::lang
