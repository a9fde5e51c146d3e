// javax.microedition.io.PushRegistry: the application cannot be started by the platform; every request is refused.
#include "javax_microedition_io_PushRegistry.h"

#include "javax_microedition_io_ConnectionNotFoundException.h"

namespace javax::microedition::io {

jlong PushRegistry::registerAlarm(VMPtr<java::lang::String>, jlong) {
    _VM_throw(ConnectionNotFoundException::create()->construct(VM_STR("not supported")));
}

}  // namespace javax::microedition::io

VM_REGISTER_CLASS(javax::microedition::io::PushRegistry, .name = "javax.microedition.io.PushRegistry")
