// javax.microedition.midlet.MIDlet: the base of the application class.
#include "javax_microedition_midlet_MIDlet.h"

#include "VMThrow.h"
#include "hal_system.h"
#include "javax_microedition_io_ConnectionNotFoundException.h"

namespace javax::microedition::midlet {

namespace {

// Whether the state machine allows from -> to.
bool allowed(jint from, jint to) {
    switch (from) {
        case MIDlet::PAUSED: return to != MIDlet::PAUSING;
        case MIDlet::ACTIVE: return to != MIDlet::CREATED && to != MIDlet::STARTING;
        case MIDlet::CREATED: return to != MIDlet::PAUSING;
        case MIDlet::STARTING:
        case MIDlet::PAUSING: return true;
        case MIDlet::DESTROYING: return to == MIDlet::DESTROYED;
        default: return false;  // destroyed, or a state outside the table
    }
}

}  // namespace

VMPtr<MIDlet> MIDlet::construct() {
    Super::construct();
    state = CREATED;
    return this;
}

jboolean MIDlet::setState(jint newState) {
    if (!allowed(state, newState)) return false;
    state = newState;
    return true;
}

void MIDlet::notifyDestroyed() {
    setState(DESTROYED);
    HAL_requestExit();
}

jboolean MIDlet::platformRequest(VMPtr<java::lang::String> url) {
    if (url == nullptr) _VM_throwNullPointer();
    int32_t mustExit = 0;
    int status = HAL_openURL(url->_VM_chars(), url->length(), &mustExit);
    if (status == HAL_NOT_FOUND) _VM_throw(javax::microedition::io::ConnectionNotFoundException::create()->construct());
    if (status != HAL_OK) HAL_fatalError("Unexpected error from HAL_openURL() in platformRequest!");
    return mustExit != 0;
}

}  // namespace javax::microedition::midlet

VM_REGISTER_CLASS(javax::microedition::midlet::MIDlet, .name = "javax.microedition.midlet.MIDlet", .isAbstract = true)
