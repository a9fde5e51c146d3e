// javax.microedition.midlet.MIDlet: the base of the application class. It
// keeps the application's life-cycle state; the application manager
// (com.tarsel.sorrel.AMS) drives it through startApp, pauseApp and
// destroyApp.
#pragma once

#include "VM.h"
#include "java_lang_String.h"

namespace javax::microedition::midlet {

class MIDlet : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(MIDlet, java::lang::Object)

public:
    // Life-cycle states.
    static constexpr jint PAUSED = 0;
    static constexpr jint ACTIVE = 1;
    static constexpr jint CREATED = 2;
    static constexpr jint STARTING = 3;    // inside startApp
    static constexpr jint PAUSING = 4;     // inside pauseApp
    static constexpr jint DESTROYING = 5;  // inside destroyApp
    static constexpr jint DESTROYED = 6;

    jint state = 0;

    // The state is "created".
    VMPtr<MIDlet> construct();

    virtual void startApp() = 0;
    virtual void pauseApp() = 0;
    virtual void destroyApp(jboolean unconditional) = 0;

    // The guarded transition: true when the state changed to newState.
    jboolean setState(jint newState);
    // The application has ended: the state is "destroyed" at once and the
    // host is asked to end (the destroy itself follows on the main thread).
    void notifyDestroyed();
    // Asks the platform to open the URL once the application has ended;
    // true (the application must exit first). NullPointerException for null.
    jboolean platformRequest(VMPtr<java::lang::String> url);
};

}  // namespace javax::microedition::midlet
