// java.io.UTFDataFormatException: bytes that are not valid modified UTF-8.
#pragma once

#include "java_io_IOException.h"

namespace java::io {

class UTFDataFormatException : public java::io::IOException {
    VM_DECLARE_THROWABLE(UTFDataFormatException, IOException)

public:
    VMPtr<UTFDataFormatException> construct();
};

}  // namespace java::io
