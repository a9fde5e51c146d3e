// javax.microedition.io.StreamConnection: a connection that can be read and written.
#pragma once

#include "VMClass.h"
#include "javax_microedition_io_InputConnection.h"
#include "javax_microedition_io_OutputConnection.h"

namespace javax::microedition::io {

class StreamConnection : public virtual InputConnection, public virtual OutputConnection {
    VM_DECLARE_INTERFACE(StreamConnection)
};

}  // namespace javax::microedition::io
