// The one runtime object, its start stages and host callbacks.
#pragma once

#include "VMList.h"
#include "VMObject.h"
#include "VMStringMap.h"

struct NativeThreadRecord;

namespace java::lang {
class Thread;
}

// The start stages, in the order the runtime's start enters them (the number
// is what the stage word holds while the step runs).
enum VMStartStage : jint {
    VM_STAGE_NONE = 0,
    VM_STAGE_ALLOCATOR = 1,
    VM_STAGE_LISTENERS = 2,    // event listeners, intern table, float constants
    VM_STAGE_MAIN_THREAD = 9,  // the host thread's record (entered before stage 3)
    VM_STAGE_REGISTRY = 3,
    VM_STAGE_REGISTRATIONS = 4,
    VM_STAGE_INTERFACES = 6,
    VM_STAGE_ENTRY_POINTS = 7,
    VM_STAGE_SEALED = 8,
    VM_STAGE_EARLY_CLASSES = 10,
    VM_STAGE_SYSTEM_THREADS = 11,
    VM_STAGE_COLLECTOR = 12,  // from here on, collections run
    VM_STAGE_REPORTING = 13,  // never entered: from here on, an uncaught throwable is printed
    VM_STAGE_BOOT_CLASS = 14,
};

struct VMRuntime {
    VMThread* currentThread = nullptr;
    bool exitRequested = false;
    jint stage = VM_STAGE_NONE;
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

// A thin monitor that is free or held by the current thread: taken and
// given back here, without a call.
inline void _VM_lock(java::lang::Object* header) {
    VMRuntime* runtime = _VM_runtime;
    VMThread* cur = runtime != nullptr ? runtime->currentThread : nullptr;
    if (header->_VM_inflated == nullptr) {
        if (header->_VM_count == 0) {
            header->_VM_count = 1;
            header->_VM_owner = cur;
            return;
        }
        if (header->_VM_owner == cur) {
            ++header->_VM_count;
            return;
        }
    }
    _VM_lockSlow(header);
}

inline void _VM_unlock(java::lang::Object* header) {
    VMRuntime* runtime = _VM_runtime;
    VMThread* cur = runtime != nullptr ? runtime->currentThread : nullptr;
    if (header->_VM_inflated == nullptr && header->_VM_count > 0 && header->_VM_owner == cur) {
        if (--header->_VM_count == 0) {
            header->_VM_owner = nullptr;
            if (_VM_thinMonitorWaiters != 0) _VM_wakeThinMonitorWaiters();
        }
        return;
    }
    _VM_unlockSlow(header);
}

// The initRuntime callback: creates the runtime and boots it. 0 booted, 1 no boot
// class name, 2 an uncaught exception.
int vmInitCallback(uint64_t baseLimit, uint64_t maximum, NativeThreadRecord* platformThread, const char* bootClassName,
                   int32_t entryArgument);
int _VM_startRuntime(VMRuntime* runtime, uint64_t baseLimit, uint64_t maximum, NativeThreadRecord* platformThread,
                     const char* bootClassName, int32_t entryArgument);
// The destroyRuntime callback.
void vmDestroyCallback();
void _VM_shutdownRuntime(VMRuntime* runtime);
// Installs the six host callbacks with the platform layer.
void _VM_installHostCallbacks();

inline void _VM_heapAdd(VMRuntime* runtime, java::lang::Object* header);
void _VM_heapRemove(VMRuntime* runtime, java::lang::Object* header);
// The objects in the heap list: a collection that marks as many has no
// garbage to sweep.
extern size_t _VM_heapObjects;
// The collector cuts the heap list into stretches whose first objects it
// knows, so that the sweep can follow several at once. A
// stretch starts every few thousand new objects (the count down is kept
// inline by _VM_heapAdd) and every few thousand survivors of a sweep. An
// object leaving the list outside a sweep makes the collector forget them.
extern uint32_t _VM_heapStretchCountdown;
// The sweeps that walked only the objects made since the sweep before (the
// mark found every older object again).
extern uint32_t _VM_youngSweeps;
extern bool _VM_heapSweeping;
void _VM_heapNoteStretch(VMRuntime* runtime, java::lang::Object* header);
void _VM_heapForgetStretches();
void _VM_threadAdd(VMRuntime* runtime, VMThread* thread);
void _VM_threadRemove(VMRuntime* runtime, VMThread* thread);
void _VM_collect(VMRuntime* runtime);
// Number of objects in the heap list (tests, diagnostics).
size_t _VM_heapCount(const VMRuntime* runtime);

// Checks the heap: the heap list's links agree, every flag word holds only
// known values, and every root and every field of a marked object refers to
// an object of the heap list. A broken heap is a fatal stop. Debug builds run
// it before and after every collection.
void _VM_verifyHeap(VMRuntime* runtime);

// --- event listeners ---------------------------------------------------------
// A listener gets (event type, argument count, argument words); the types are
// the platform's HAL_Event (hal_events.h).
using VMEventCallback = void (*)(jint type, jint count, const intptr_t* args);

struct VMEventListener {
    VMEventCallback callback = nullptr;
    uint32_t mask = 0;  // bit n selects event type n (n < 32)
};

// The mask bit that selects one event type.
constexpr uint32_t _VM_eventBit(jint type) { return 1u << type; }

// Makes the registry (once) with its three lists: priority 0, every other
// priority, priority 2.
void _VM_createEventListeners();
// Appends a listener to the list of its priority; null while no registry
// exists.
VMEventListener* _VM_addEventListener(VMEventCallback callback, uint32_t mask, jint priority);
// The dispatch callback (HAL_HostCallbacks::dispatchEvent): hands the event
// to every listener whose mask selects it, list by list. 0, or 2 when a
// listener threw (the rest are skipped).
int _VM_dispatchEvent(int type, int count, const intptr_t* args);
void _VM_destroyEventListeners();

// --- runtime properties ---------------------------------------------------------
// The runtime's own system properties, built on first use.
VMStringMap* _VM_runtimeProperties();
// Adds key = value (neither copied); a duplicate key is a fatal stop.
void _VM_addRuntimeProperty(VMStringMap* table, const char* key, const char* value);
// The value under key, or null.
const char* _VM_getRuntimeProperty(VMStringMap* table, const char* key);

// --- thread objects -------------------------------------------------------------
// The system-threads stage: the "System" thread object over the main thread and the
// finalizer thread object (not started).
void _VM_createSystemThreads(VMRuntime* runtime);
// Shutdown: asks a running finalizer to stop.
void _VM_stopFinalizer(VMRuntime* runtime);

// Set once the runtime has been destroyed: a runtime thread that comes back
// into the runtime after that is parked for good instead of running.
extern bool _VM_runtimeDestroyed;

// The runtime's diagnostic reports (shutdown progress). They are dropped
// unless a sink is installed (tests install one).
using VMDiagnosticSink = void (*)(const char* text);
void _VM_setDiagnosticSink(VMDiagnosticSink sink);
void _VM_report(const char* text);

// --- the heap list's inline paths -----------------------------------------------
// (Every object's construction runs both.)
inline void _VM_heapAdd(VMRuntime* runtime, java::lang::Object* header) {
    java::lang::Object* head = runtime->heapHead;
    header->_VM_prev = nullptr;
    header->_VM_next = head;
    if (head != nullptr) head->_VM_prev = header;
    runtime->heapHead = header;
    ++_VM_heapObjects;
    if (--_VM_heapStretchCountdown == 0) [[unlikely]]
        _VM_heapNoteStretch(runtime, header);
}

inline java::lang::Object* _VM_initObject(java::lang::Object* header) {
    header->_VM_owner = nullptr;
    header->_VM_count = 0;
    header->_VM_inflated = nullptr;
    header->_VM_flags = uint8_t(VM_FLAG_REACHED | VM_FLAG_CONSTRUCTING | _VM_markedValue);
    header->_VM_young = 1;
    ++_VM_constructingCount;
    VMRuntime* runtime = _VM_runtime;
    if (runtime == nullptr) [[unlikely]]
        _VM_noRuntimeForObject();
    _VM_heapAdd(runtime, header);
    return header;
}
