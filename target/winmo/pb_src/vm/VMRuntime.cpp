// The runtime object: boot through the numbered start stages, host
// callbacks, destruction.
#include "VMRuntime.h"

#include "VMClass.h"
#include "VMThread.h"
#include "VMThrow.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "java_lang_NoClassDefFoundError.h"
#include "java_lang_String.h"
#include "java_lang_Throwable.h"

VMRuntime* _VM_runtime = nullptr;

namespace {

// Classes initialised at stage 10, in this order, when registered.
const char* const kEarlyClasses[] = {
    "java.lang.Object",
    "java.lang.Class",
    "java.lang.String",
    "java.lang.Thread",
    "java.lang.Throwable",
    "java.lang.Exception",
    "java.lang.Error",
    "java.lang.ExceptionInInitializerError",
    "java.lang.NoClassDefFoundError",
    "java.lang.VirtualMachineError",
    "java.lang.OutOfMemoryError",
    "java.lang.RuntimeException",
    "java.lang.NullPointerException",
    "java.lang.System",
};

void collectCallback() { _VM_collect(_VM_runtime); }
void yieldCallback() { VMThread::yield(); }
void* enterCallback() { return VMThread::enter(); }

}  // namespace

VMStartHooks _VM_startHooks;

int vmInitCallback(uint64_t baseLimit, uint64_t maximum, NativeThreadRecord* platformThread, const char* bootClassName,
                   int32_t entryArgument) {
    auto* runtime = new VMRuntime();
    _VM_runtime = runtime;
    return _VM_startRuntime(runtime, baseLimit, maximum, platformThread, bootClassName, entryArgument);
}

int _VM_startRuntime(VMRuntime* runtime, uint64_t baseLimit, uint64_t maximum, NativeThreadRecord* platformThread,
                     const char* bootClassName, int32_t entryArgument) {
    try {
        try {
            runtime->stage = 1;
            _VM_initAllocator(baseLimit, maximum);

            runtime->stage = 2;
            if (_VM_startHooks.stage2 != nullptr) _VM_startHooks.stage2(runtime);
            _VM_internTable();

            runtime->stage = 9;
            VMThread* main = new VMThread(platformThread);

            runtime->stage = 3;
            runtime->mainThread = main;
            runtime->currentThread = main;
            _VM_classRegistry();

            runtime->stage = 4;
            _VM_runClassRegistrations();
            runtime->stage = 6;
            _VM_resolveInterfaces();
            runtime->stage = 7;
            _VM_resolveEntryPoints();
            runtime->stage = 8;
            _VM_sealRegistry();

            runtime->stage = 10;
            for (const char* name : kEarlyClasses) {
                if (java::lang::Class* record = _VM_findClass(name)) _VM_ensureInitialized(record);
            }

            runtime->stage = 11;
            if (_VM_startHooks.stage11 != nullptr) _VM_startHooks.stage11(runtime);

            runtime->stage = 12;
            runtime->finalizerNotStarted = true;
            _VM_collect(runtime);

            runtime->stage = 14;
            if (bootClassName == nullptr) return 1;
            java::lang::Class* boot = _VM_findClass(bootClassName);
            if (boot == nullptr || boot->entryPoint == nullptr) _VM_throwNoClassDefFoundError(nullptr);
            _VM_ensureInitialized(boot);
            if (boot->entryPoint != nullptr) boot->entryPoint(entryArgument);
            return 0;
        } catch (java::lang::Throwable* thrown) {
            VMPtr<java::lang::Throwable> keep(thrown);
            if (runtime->stage >= 13) keep->printStackTrace();
            return 2;
        }
    } catch (...) {
        return 2;
    }
}

void vmDestroyCallback() {
    VMRuntime* runtime = _VM_runtime;
    if (runtime == nullptr) return;
    _VM_shutdownRuntime(runtime);
    runtime->systemThread = nullptr;
    runtime->finalizer = nullptr;
    _VM_listClear(&runtime->threads);
    _VM_runtime = nullptr;
    delete runtime;
}

void _VM_installHostCallbacks() {
    HAL_HostCallbacks callbacks;
    callbacks.initRuntime = vmInitCallback;
    callbacks.dispatchEvent = _VM_startHooks.dispatchEvent;
    callbacks.yield = yieldCallback;
    callbacks.enter = enterCallback;
    callbacks.collect = collectCallback;
    callbacks.destroyRuntime = vmDestroyCallback;
    HAL_setHostCallbacks(&callbacks);
}

void _VM_shutdownRuntime(VMRuntime* runtime) {
    if (_VM_startHooks.shutdown != nullptr) _VM_startHooks.shutdown(runtime);
    VMThread::disableSwitching();
    _VM_stopAllocator();
}
