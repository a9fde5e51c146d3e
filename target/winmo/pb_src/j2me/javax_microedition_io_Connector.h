// javax.microedition.io.Connector: opens a connection for a URL through the
// protocol class named after the URL's scheme.
#pragma once

#include "VMClass.h"
#include "java_lang_String.h"
#include "javax_microedition_io_Connection.h"

namespace javax::microedition::io {

class Connector : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Connector, java::lang::Object)

public:
    static constexpr jint READ = 1;
    static constexpr jint WRITE = 2;
    static constexpr jint READ_WRITE = 3;

    // The package of the protocol classes, from the system property
    // "javax.microedition.io.Connector.protocolpath".
    static VMStatic<java::lang::String> classRoot;
    static void _VM_clinit();

    // The protocol class classRoot + "." + scheme + ".Protocol" ('-' in the
    // scheme read as '_') opens the whole URL. IllegalArgumentException for
    // a null URL or one without a scheme; ConnectionNotFoundException when
    // no such class exists; IOException when it is no protocol class.
    static VMPtr<Connection> open(VMPtr<java::lang::String> name);
    static VMPtr<Connection> open(VMPtr<java::lang::String> name, jint mode);
    static VMPtr<Connection> open(VMPtr<java::lang::String> name, jint mode, jboolean timeouts);
};

}  // namespace javax::microedition::io
