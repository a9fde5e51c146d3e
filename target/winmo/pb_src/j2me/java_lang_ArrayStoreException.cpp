// java.lang.ArrayStoreException
#include "java_lang_ArrayStoreException.h"

namespace java::lang {

VMPtr<ArrayStoreException> ArrayStoreException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::ArrayStoreException, .name = "java.lang.ArrayStoreException",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_ArrayStoreException",
                  .newInstance = _VM_newInstanceOf<java::lang::ArrayStoreException>)
