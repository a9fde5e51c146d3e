// java.lang.IndexOutOfBoundsException: an index outside its range; the base of the array and string ones.
#include "java_lang_IndexOutOfBoundsException.h"

namespace java::lang {

VMPtr<IndexOutOfBoundsException> IndexOutOfBoundsException::construct() {
    Super::construct();
    return this;
}

VMPtr<IndexOutOfBoundsException> IndexOutOfBoundsException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::IndexOutOfBoundsException, .name = "java.lang.IndexOutOfBoundsException",
                  .newInstance = _VM_newInstanceOf<java::lang::IndexOutOfBoundsException>)
