// java.lang.OutOfMemoryError: an allocation that the heap cannot hold even after a collection.
#include "java_lang_OutOfMemoryError.h"

namespace java::lang {

VMPtr<OutOfMemoryError> OutOfMemoryError::construct() {
    Super::construct();
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::OutOfMemoryError, .name = "java.lang.OutOfMemoryError",
                  .newInstance = _VM_newInstanceOf<java::lang::OutOfMemoryError>)
