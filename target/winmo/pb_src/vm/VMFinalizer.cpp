// The system thread object and the finalizer thread (to come with
// java.lang.Thread).
#include "VMRuntime.h"

void _VM_createSystemThreads(VMRuntime* runtime) { (void)runtime; }

void _VM_stopFinalizer(VMRuntime* runtime) { (void)runtime; }
