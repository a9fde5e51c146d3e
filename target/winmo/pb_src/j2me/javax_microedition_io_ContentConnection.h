// javax.microedition.io.ContentConnection: a stream connection whose content has a type, an encoding and a length.
#pragma once

#include "VMClass.h"
#include "javax_microedition_io_StreamConnection.h"
#include "java_lang_String.h"

namespace javax::microedition::io {

class ContentConnection : public virtual StreamConnection {
    VM_DECLARE_INTERFACE(ContentConnection)

public:
    virtual VMPtr<java::lang::String> getType() = 0;
    virtual VMPtr<java::lang::String> getEncoding() = 0;
    virtual jlong getLength() = 0;
};

}  // namespace javax::microedition::io
