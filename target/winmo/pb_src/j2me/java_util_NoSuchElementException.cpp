// java.util.NoSuchElementException: a walk asked for an element past its end.
#include "java_util_NoSuchElementException.h"

namespace java::util {

VMPtr<NoSuchElementException> NoSuchElementException::construct() {
    Super::construct();
    return this;
}

VMPtr<NoSuchElementException> NoSuchElementException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::util

VM_REGISTER_CLASS(java::util::NoSuchElementException, .name = "java.util.NoSuchElementException",
                  .newInstance = _VM_newInstanceOf<java::util::NoSuchElementException>)
