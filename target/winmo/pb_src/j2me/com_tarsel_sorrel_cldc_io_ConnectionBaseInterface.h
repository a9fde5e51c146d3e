// com.tarsel.sorrel.cldc.io.ConnectionBaseInterface: the interface of every protocol class that javax.microedition.io.Connector
// instantiates.
#pragma once

#include "VMClass.h"
#include "javax_microedition_io_Connection.h"
#include "java_lang_String.h"

namespace com::tarsel::sorrel::cldc::io {

class ConnectionBaseInterface : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(ConnectionBaseInterface)

public:
    // Opens the connection for the whole URL (scheme included).
    virtual VMPtr<javax::microedition::io::Connection> openConnection(VMPtr<java::lang::String> name, jint mode,
                                                                      jboolean timeouts) = 0;
};

}  // namespace com::tarsel::sorrel::cldc::io
