// The runtime object: boot through the numbered start stages, host
// callbacks, destruction.
#include "VMRuntime.h"

#include <cstring>
#include <new>

#include "VMClass.h"
#include "VMThread.h"
#include "VMThrow.h"
#include "hal_events.h"
#include "hal_number.h"
#include "hal_property.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_NoClassDefFoundError.h"
#include "java_lang_String.h"
#include "java_lang_Throwable.h"

VMRuntime* _VM_runtime = nullptr;
bool _VM_runtimeDestroyed = false;

namespace {

// Classes initialised at the early-classes stage, in this order, when registered.
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

// The floating-point special values, fetched from the platform at the
// listeners stage.
struct {
    float nan, negativeInfinity, positiveInfinity;
    double doubleNan, doubleNegativeInfinity, doublePositiveInfinity;
    bool ready;
} floatConstants{};

// The destroy listener: HAL_EVENT_DESTROY asks the application to end.
void destroyListener(jint type, jint count, const intptr_t* args) {
    (void)count;
    (void)args;
    if (type == HAL_EVENT_DESTROY && _VM_runtime != nullptr) _VM_runtime->exitRequested = true;
}

void collectCallback() {
    if (_VM_runtime != nullptr) _VM_collect(_VM_runtime);
}
void yieldCallback() { VMThread::yield(); }
void* enterCallback() { return VMThread::enter(); }

}  // namespace

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
            runtime->stage = VM_STAGE_ALLOCATOR;
            _VM_initAllocator(baseLimit, maximum);

            runtime->stage = VM_STAGE_LISTENERS;
            _VM_createEventListeners();
            _VM_addEventListener(destroyListener, _VM_eventBit(HAL_EVENT_DESTROY), 0);
            _VM_internTable();
            HAL_getFloatConstants(nullptr, nullptr, &floatConstants.nan, &floatConstants.negativeInfinity,
                                  &floatConstants.positiveInfinity);
            HAL_getDoubleConstants(nullptr, nullptr, &floatConstants.doubleNan, &floatConstants.doubleNegativeInfinity,
                                   &floatConstants.doublePositiveInfinity);
            floatConstants.ready = true;

            runtime->stage = VM_STAGE_MAIN_THREAD;
            VMThread* main = new VMThread(platformThread);

            runtime->stage = VM_STAGE_REGISTRY;
            runtime->mainThread = main;
            runtime->currentThread = main;
            _VM_classRegistry();

            runtime->stage = VM_STAGE_REGISTRATIONS;
            _VM_runClassRegistrations();
            runtime->stage = VM_STAGE_INTERFACES;
            _VM_resolveInterfaces();
            runtime->stage = VM_STAGE_ENTRY_POINTS;
            _VM_resolveEntryPoints();
            runtime->stage = VM_STAGE_SEALED;
            _VM_sealRegistry();

            runtime->stage = VM_STAGE_EARLY_CLASSES;
            for (const char* name : kEarlyClasses) {
                if (java::lang::Class* record = _VM_findClass(name)) _VM_ensureInitialized(record);
            }

            runtime->stage = VM_STAGE_SYSTEM_THREADS;
            _VM_createSystemThreads(runtime);

            runtime->stage = VM_STAGE_COLLECTOR;
            runtime->finalizerNotStarted = true;
            _VM_collect(runtime);

            runtime->stage = VM_STAGE_BOOT_CLASS;
            if (bootClassName == nullptr) return 1;
            java::lang::Class* boot = _VM_findClass(bootClassName);
            if (boot == nullptr || boot->entryPoint == nullptr) _VM_throwNoClassDefFoundError(nullptr);
            _VM_ensureInitialized(boot);
            if (boot->entryPoint != nullptr) boot->entryPoint(entryArgument);
            return 0;
        } catch (java::lang::Throwable* thrown) {
            VMPtr<java::lang::Throwable> keep(thrown);
            if (runtime->stage >= VM_STAGE_REPORTING) keep->printStackTrace();
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
    _VM_runtimeDestroyed = true;
    _VM_runtime = nullptr;
    delete runtime;
}

void _VM_installHostCallbacks() {
    HAL_HostCallbacks callbacks;
    callbacks.initRuntime = vmInitCallback;
    callbacks.dispatchEvent = _VM_dispatchEvent;
    callbacks.yield = yieldCallback;
    callbacks.enter = enterCallback;
    callbacks.collect = collectCallback;
    callbacks.destroyRuntime = vmDestroyCallback;
    HAL_setHostCallbacks(&callbacks);
}

namespace {

// Lets the other threads run for up to `limit` ms while more than the
// calling thread is alive. True when only the caller is left.
bool waitForOtherThreads(VMThread* me, uint64_t limit) {
    uint64_t start = HAL_getTickCount();
    while (VMThread::activeCount() > 1 && HAL_getTickCount() - start < limit) {
        try {
            VMThread::sleep(me, 20);
        } catch (java::lang::InterruptedException* interrupted) {
            // Shutdown goes on regardless; the interrupt is spent.
            (void)interrupted;
        }
    }
    return VMThread::activeCount() <= 1;
}

// A thread whose run has ended but whose platform thread has not returned yet.
bool onItsWayOut(const VMThread* thread) {
    return !thread->attached && thread->state == VMThread::ENDED && !HAL_isThreadFinished(thread->platformThread);
}

// Joins the platform threads of the runtime threads that have ended (their
// records outlive the runtime; the platform threads need not), giving those
// still on their way out up to 100 ms, and releases those never started
// (the finalizer when nothing needed finalising).
void joinEndedThreads(VMRuntime* runtime, VMThread* me) {
    const uint64_t start = HAL_getTickCount();
    while (me != nullptr && HAL_getTickCount() - start < 100) {
        bool waiting = false;
        for (VMListNode* node = runtime->threads.first; node != nullptr && !waiting; node = node->next)
            waiting = onItsWayOut(static_cast<VMThread*>(node->value));
        if (!waiting) break;
        try {
            VMThread::sleep(me, 1);
        } catch (java::lang::InterruptedException* interrupted) {
            (void)interrupted;
        }
    }
    for (VMListNode* node = runtime->threads.first; node != nullptr; node = node->next) {
        auto* thread = static_cast<VMThread*>(node->value);
        if (thread->attached) continue;
        if (thread->state == VMThread::CREATED) {
            HAL_deleteUnstartedThread(thread->platformThread);
            thread->platformThread = nullptr;
            thread->state = VMThread::ENDED;
        } else {
            HAL_joinFinishedThread(thread->platformThread);
        }
    }
}

}  // namespace

void _VM_shutdownRuntime(VMRuntime* runtime) {
    VMThread* me = VMThread::current();
    _VM_stopFinalizer(runtime);
    if (!waitForOtherThreads(me, 250)) {
        _VM_report("Threads failed to stop within 250 milliseconds...\n");
        _VM_report("Sending an interrupt to all threads.\n");
        for (VMListNode* node = runtime->threads.first; node != nullptr; node = node->next) {
            auto* thread = static_cast<VMThread*>(node->value);
            if (thread != me) VMThread::interrupt(thread);
        }
        if (!waitForOtherThreads(me, 250))
            _VM_report("Threads failed to respond to interrupt within 250 milliseconds...\n");
        for (VMListNode* node = runtime->threads.first; node != nullptr; node = node->next) {
            auto* thread = static_cast<VMThread*>(node->value);
            if (thread != me) VMThread::cancel(thread);
        }
        if (!waitForOtherThreads(me, 100))
            _VM_report("Threads failed to respond to cancel within 100 milliseconds...\n");
    }
    joinEndedThreads(runtime, me);
    VMThread::disableSwitching();
    if (VMThread::activeCount() > 1) _VM_report("Terminating with outstanding threads.\n");
    floatConstants.ready = false;
    _VM_destroyEventListeners();
    _VM_stopAllocator();
    runtime->finalizer = nullptr;
    runtime->systemThread = nullptr;
}

// --- runtime properties ---------------------------------------------------------

namespace {

VMStringMap* propertyTable = nullptr;

// A copy of text in a block of the runtime (exceptions forbidden); it lives
// as long as the table.
const char* keepText(const char* text) {
    size_t n = std::strlen(text);
    auto* copy = static_cast<char*>(_VM_alloc(n + 1, 0));
    std::memcpy(copy, text, n + 1);
    return copy;
}

void buildRuntimeProperties(VMStringMap* table) {
    _VM_addRuntimeProperty(table, "microedition.configuration", "CLDC-1.1");
    _VM_addRuntimeProperty(table, "microedition.platform", "TarselSorrel/PLATFORM_BRIDGE_VERSION");
    _VM_addRuntimeProperty(table, "microedition.encoding", "UTF-8");
    _VM_addRuntimeProperty(table, "microedition.profiles", "MIDP-2.0");
    // A locale that cannot be read leaves the key out, so lookups fall
    // through to the platform's own properties.
    if (char* locale = HAL_getLocale()) {
        _VM_addRuntimeProperty(table, "microedition.locale", keepText(locale));
        HAL_free(locale);
    }
    _VM_addRuntimeProperty(table, "microedition.commports", "");
    _VM_addRuntimeProperty(table, "microedition.hostname", "");
    _VM_addRuntimeProperty(table, "javax.microedition.io.Connector.protocolpath", "com.tarsel.sorrel.midp.io.protocol");
    _VM_addRuntimeProperty(table, "com.tarsel.sorrel.software.version", "PLATFORM_BRIDGE_VERSION");
    const char* platform = HAL_getPlatformName();
    if (platform != nullptr) _VM_addRuntimeProperty(table, "com.tarsel.sorrel.hal.platform", platform);
    if (const char* version = HAL_getPlatformVersion())
        _VM_addRuntimeProperty(table, "com.tarsel.sorrel.hal.version", version);

    // "com.tarsel.sorrel.hal.uniqueid": the first four characters of the
    // platform name ("_" where it is shorter), then the device id, stored
    // as the runtime stores all its text: NUL-terminated modified UTF-8.
    char16_t id[64];
    for (int i = 0; i < 4; ++i) id[i] = u'_';
    for (int i = 0; platform != nullptr && i < 4 && platform[i] != 0; ++i)
        id[i] = static_cast<char16_t>(static_cast<unsigned char>(platform[i]));
    int32_t length = 60;
    if (HAL_getDeviceId(id + 4, &length) == 0 && length > 0) {
        if (length > 60) length = 60;
        const jint count = 4 + length;
        uint8_t utf8[64 * 3 + 1];
        jint room = static_cast<jint>(sizeof utf8);
        _VM_utf8Encode(utf8, room, id, count, true, true);
        _VM_addRuntimeProperty(table, "com.tarsel.sorrel.hal.uniqueid", keepText(reinterpret_cast<char*>(utf8)));
    }
}

}  // namespace

VMStringMap* _VM_runtimeProperties() {
    if (propertyTable == nullptr) {
        propertyTable = new (_VM_alloc(sizeof(VMStringMap), 0)) VMStringMap();
        _VM_mapInit(propertyTable);
        buildRuntimeProperties(propertyTable);
    }
    return propertyTable;
}

void _VM_addRuntimeProperty(VMStringMap* table, const char* key, const char* value) {
    if (table == nullptr || key == nullptr || value == nullptr) return;
    if (_VM_mapContains(table, key)) HAL_fatalError("Duplicate property detected!");
    _VM_mapPut(table, key, const_cast<char*>(value));
}

const char* _VM_getRuntimeProperty(VMStringMap* table, const char* key) {
    if (table == nullptr || key == nullptr) return nullptr;
    return static_cast<const char*>(_VM_mapGet(table, key));
}
