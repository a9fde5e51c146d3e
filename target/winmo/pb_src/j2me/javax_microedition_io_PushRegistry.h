// javax.microedition.io.PushRegistry: the application cannot be started by
// the platform; every request is refused.
#pragma once

#include "VMClass.h"
#include "java_lang_String.h"

namespace javax::microedition::io {

class PushRegistry : public virtual java::lang::Object {
    VM_DECLARE_CLASS(PushRegistry, java::lang::Object)

public:
    // Always throws ConnectionNotFoundException "not supported".
    [[noreturn]] static jlong registerAlarm(VMPtr<java::lang::String> midlet, jlong time);
};

}  // namespace javax::microedition::io
