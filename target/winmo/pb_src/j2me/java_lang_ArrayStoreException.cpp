// java.lang.ArrayStoreException: an object stored into an array of a type it does not have.
#include "java_lang_ArrayStoreException.h"

namespace java::lang {

VMPtr<ArrayStoreException> ArrayStoreException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::ArrayStoreException, .name = "java.lang.ArrayStoreException",
                  .newInstance = _VM_newInstanceOf<java::lang::ArrayStoreException>)
