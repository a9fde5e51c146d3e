// java.lang.ClassNotFoundException: a class name that is not registered.
#include "java_lang_ClassNotFoundException.h"

namespace java::lang {

VMPtr<ClassNotFoundException> ClassNotFoundException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::ClassNotFoundException, .name = "java.lang.ClassNotFoundException",
                  .newInstance = _VM_newInstanceOf<java::lang::ClassNotFoundException>)
