// java.lang.Runtime: the memory figures, the collector and the exit request.
#pragma once

#include "VMClass.h"

namespace java::lang {

class Runtime final : public virtual Object {
    VM_DECLARE_CLASS(Runtime, Object)

public:
    // The one instance, made on first use.
    static VMPtr<Runtime> getRuntime();

    // SecurityException "MIDP lifecycle does not support system exit." unless
    // exit has been allowed; then the exit request, which ends the calling
    // runtime thread's run(). Never returns.
    [[noreturn]] virtual void exit(jint status);
    // Bytes the heap can still give (its maximum less what is in use).
    virtual jlong freeMemory();
    // The heap's maximum.
    virtual jlong totalMemory();
    // One collection.
    virtual void gc();
    virtual void setExitAllowed(jboolean allowed);
    // The status the program ends with when it ends in order after a
    // failure (see HAL_setExitStatus); does not end anything itself.
    static void _VM_setExitStatus(jint status);

    static VMStatic<Runtime> instance;
    static jboolean exitAllowed;
};

}  // namespace java::lang
