// javax.microedition.io.InputConnection: a connection that can be read.
#pragma once

#include "VMClass.h"
#include "javax_microedition_io_Connection.h"
#include "java_io_DataInputStream.h"

namespace javax::microedition::io {

class InputConnection : public virtual Connection {
    VM_DECLARE_INTERFACE(InputConnection)

public:
    virtual VMPtr<java::io::InputStream> openInputStream() = 0;
    virtual VMPtr<java::io::DataInputStream> openDataInputStream() = 0;
};

}  // namespace javax::microedition::io
