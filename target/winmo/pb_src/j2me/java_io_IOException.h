// java.io.IOException: the base of the failures of input and output.
#pragma once

#include "java_lang_Exception.h"

namespace java::io {

class IOException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(IOException, java::lang::Exception)

public:
    VMPtr<IOException> construct();
    VMPtr<IOException> construct(VMPtr<java::lang::String> message);
};

}  // namespace java::io
