// javax.microedition.io.Connection: the base of every connection.
#pragma once

#include "VMClass.h"

namespace javax::microedition::io {

class Connection : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Connection)

public:
    // Closes the connection; closing a closed one does nothing.
    virtual void close() = 0;
};

}  // namespace javax::microedition::io
