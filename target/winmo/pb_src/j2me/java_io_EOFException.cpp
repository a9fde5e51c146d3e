// java.io.EOFException
#include "java_io_EOFException.h"

namespace java::io {

VMPtr<EOFException> EOFException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::EOFException, .name = "java.io.EOFException",
                  .sourceName = "target/winmo/pb_src/j2me/java_io_EOFException",
                  .newInstance = _VM_newInstanceOf<java::io::EOFException>)
