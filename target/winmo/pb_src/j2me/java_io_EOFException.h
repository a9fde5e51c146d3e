// java.io.EOFException: the end of a stream reached in the middle of a value.
#pragma once

#include "java_io_IOException.h"

namespace java::io {

class EOFException : public java::io::IOException {
    VM_DECLARE_THROWABLE(EOFException, IOException)

public:
    VMPtr<EOFException> construct();
};

}  // namespace java::io
