// The finalizer thread: runs the finalize() of objects that a collection
// kept only because they await finalisation.
#pragma once

#include "VMRuntime.h"
#include "java_lang_Thread.h"

namespace com::tarsel::sorrel::vm {

class Finalizer : public java::lang::Thread {
    VM_DECLARE_CLASS(Finalizer, java::lang::Thread)

public:
    jbyte idle = 0;
    jbyte stop = 0;
    // Counts the wakes; a wake that comes while a pass runs (which may have
    // walked past the objects it is about) leads to another pass.
    uint32_t wakeRequests = 0;

    // Runs Thread(String) with "Finalizer".
    VMPtr<Finalizer> construct();

    // idle := 1, without notification.
    virtual void markIdle();
    // Under its own monitor: idle := 0 and notify().
    virtual void wake();
    // Under its own monitor: stop := 1 and notify().
    virtual void requestStop();
    // Finalisation passes until stopped; between passes it waits until woken.
    void run() override;

private:
    void finalisationPass();
};

}  // namespace com::tarsel::sorrel::vm

// The collector's steps: wake the finalizer thread after a collection that
// found objects awaiting finalisation, and start it the first time.
void _VM_wakeFinalizer(VMRuntime* runtime);
void _VM_startFinalizer(VMRuntime* runtime);
