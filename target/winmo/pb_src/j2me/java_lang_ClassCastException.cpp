// java.lang.ClassCastException: a cast to a class the object is not of.
#include "java_lang_ClassCastException.h"

namespace java::lang {

VMPtr<ClassCastException> ClassCastException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::ClassCastException, .name = "java.lang.ClassCastException",
                  .newInstance = _VM_newInstanceOf<java::lang::ClassCastException>)
