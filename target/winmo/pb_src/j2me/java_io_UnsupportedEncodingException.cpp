// java.io.UnsupportedEncodingException: a character encoding the system does not know.
#include "java_io_UnsupportedEncodingException.h"

namespace java::io {

VMPtr<UnsupportedEncodingException> UnsupportedEncodingException::construct() {
    Super::construct();
    return this;
}

VMPtr<UnsupportedEncodingException> UnsupportedEncodingException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::UnsupportedEncodingException, .name = "java.io.UnsupportedEncodingException",
                  .newInstance = _VM_newInstanceOf<java::io::UnsupportedEncodingException>)
