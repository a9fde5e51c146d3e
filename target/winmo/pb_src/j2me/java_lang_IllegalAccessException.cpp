// java.lang.IllegalAccessException: Class.newInstance of a class that cannot be made that way.
#include "java_lang_IllegalAccessException.h"

namespace java::lang {

VMPtr<IllegalAccessException> IllegalAccessException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::IllegalAccessException, .name = "java.lang.IllegalAccessException",
                  .newInstance = _VM_newInstanceOf<java::lang::IllegalAccessException>)
