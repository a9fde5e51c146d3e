// java.io.EOFException: the end of a stream reached in the middle of a value.
#include "java_io_EOFException.h"

namespace java::io {

VMPtr<EOFException> EOFException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::EOFException, .name = "java.io.EOFException",
                  .newInstance = _VM_newInstanceOf<java::io::EOFException>)
