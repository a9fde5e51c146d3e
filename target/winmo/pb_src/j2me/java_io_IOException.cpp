// java.io.IOException: the base of the failures of input and output.
#include "java_io_IOException.h"

namespace java::io {

VMPtr<IOException> IOException::construct() {
    Super::construct();
    return this;
}

VMPtr<IOException> IOException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::IOException, .name = "java.io.IOException",
                  .newInstance = _VM_newInstanceOf<java::io::IOException>)
