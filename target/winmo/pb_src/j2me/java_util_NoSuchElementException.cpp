// java.util.NoSuchElementException
#include "java_util_NoSuchElementException.h"

namespace java::util {

VMPtr<NoSuchElementException> NoSuchElementException::construct() {
    java::lang::RuntimeException::construct();
    return this;
}

VMPtr<NoSuchElementException> NoSuchElementException::construct(VMPtr<java::lang::String> text) {
    java::lang::RuntimeException::construct(text);
    return this;
}

}  // namespace java::util

VM_REGISTER_CLASS(java::util::NoSuchElementException, .name = "java.util.NoSuchElementException", .superName = "java.lang.RuntimeException",
                  .sourceName = "target/winmo/pb_src/j2me/java_util_NoSuchElementException",
                  .newInstance = _VM_newInstanceOf<java::util::NoSuchElementException>)
