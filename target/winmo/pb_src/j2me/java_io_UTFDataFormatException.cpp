// java.io.UTFDataFormatException: bytes that are not valid modified UTF-8.
#include "java_io_UTFDataFormatException.h"

namespace java::io {

VMPtr<UTFDataFormatException> UTFDataFormatException::construct() {
    Super::construct();
    return this;
}

}  // namespace java::io

VM_REGISTER_CLASS(java::io::UTFDataFormatException, .name = "java.io.UTFDataFormatException",
                  .newInstance = _VM_newInstanceOf<java::io::UTFDataFormatException>)
