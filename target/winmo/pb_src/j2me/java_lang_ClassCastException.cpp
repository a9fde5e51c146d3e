// java.lang.ClassCastException
#include "java_lang_ClassCastException.h"

namespace java::lang {

VMPtr<ClassCastException> ClassCastException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::ClassCastException, .name = "java.lang.ClassCastException",
                  .newInstance = _VM_newInstanceOf<java::lang::ClassCastException>)
