// The one runtime object, its start stages and host callbacks.
#pragma once

#include "VMList.h"
#include "VMObject.h"

struct NativeThreadRecord;

namespace java::lang {
class Thread;
}

struct VMRuntime {
    VMThread* currentThread = nullptr;
    bool exitRequested = false;
    jint stage = 0;
    bool finalizerNotStarted = false;
    bool finalisableFound = false;
    uint32_t collectionCount = 0;
    java::lang::Object* heapHead = nullptr;
    VMList threads;
    VMNative<java::lang::Object> systemThread;
    VMThread* mainThread = nullptr;
    VMNative<java::lang::Object> finalizer;
};

// The process-wide runtime word; null while no runtime exists.
extern VMRuntime* _VM_runtime;

// Host callback 0: creates the runtime and boots it. 0 booted, 1 no boot
// class name, 2 an uncaught exception.
int vmInitCallback(uint64_t baseLimit, uint64_t maximum, NativeThreadRecord* platformThread,
                   const char* bootClassName, int32_t entryArgument);
int _VM_startRuntime(VMRuntime* runtime, uint64_t baseLimit, uint64_t maximum, NativeThreadRecord* platformThread,
                     const char* bootClassName, int32_t entryArgument);
// Host callback 5.
void vmDestroyCallback();
void _VM_shutdownRuntime(VMRuntime* runtime);
// Installs the six host callbacks with the platform layer.
void _VM_installHostCallbacks();

void _VM_heapAdd(VMRuntime* runtime, java::lang::Object* header);
void _VM_heapRemove(VMRuntime* runtime, java::lang::Object* header);
void _VM_threadAdd(VMRuntime* runtime, VMThread* thread);
void _VM_threadRemove(VMRuntime* runtime, VMThread* thread);
void _VM_collect(VMRuntime* runtime);
// Number of objects in the heap list (tests, diagnostics).
size_t _VM_heapCount(const VMRuntime* runtime);

// What the collector calls beyond the object model: the finalizer's wake and
// start (set by the finalizer class) and the heap verification of debug
// builds.
struct VMCollectorHooks {
    void (*wakeFinalizer)(VMRuntime* runtime) = nullptr;
    void (*startFinalizer)(VMRuntime* runtime) = nullptr;
    void (*verifyHeap)(VMRuntime* runtime) = nullptr;
};
extern VMCollectorHooks _VM_collectorHooks;

// Start-up, event and shutdown steps provided by the class library.
struct VMStartHooks {
    void (*stage2)(VMRuntime* runtime) = nullptr;   // listeners, constants
    void (*stage11)(VMRuntime* runtime) = nullptr;  // system thread, finalizer
    int (*dispatchEvent)(int type, int count, const intptr_t* args) = nullptr;
    void (*shutdown)(VMRuntime* runtime) = nullptr;
};
extern VMStartHooks _VM_startHooks;
