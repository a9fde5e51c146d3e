// java.io.UnsupportedEncodingException: a character encoding the system does not know.
#pragma once

#include "java_io_IOException.h"

namespace java::io {

class UnsupportedEncodingException : public java::io::IOException {
    VM_DECLARE_THROWABLE(UnsupportedEncodingException, IOException)

public:
    VMPtr<UnsupportedEncodingException> construct();
    VMPtr<UnsupportedEncodingException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::io
