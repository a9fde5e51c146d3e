// Runtime threads: one record per platform thread that runs runtime code.
#pragma once

#include "VMObject.h"

struct NativeThreadRecord;
struct HAL_Lock;

namespace java::lang {
class Runnable;
}

// The current thread's name for diagnostics: false when no runtime thread is
// current; name is null when the thread has no name.
bool _VM_currentThreadName(VMPtr<java::lang::String>& name);
// Set by java.lang.Thread: the name of a runtime thread's Thread object.
using VMThreadNameFunction = VMPtr<java::lang::String> (*)(VMThread* thread);
extern VMThreadNameFunction _VM_threadNameFunction;

class VMThread {
public:
    enum State : jint {
        CREATED = 1,
        RUNNING = 2,
        WAITING = 4,
        ENDED = 8,
    };

    // Attaches the calling host thread (the main thread).
    explicit VMThread(NativeThreadRecord* platformRecord);
    // A new runtime thread that runs the object's run(); created suspended.
    // From start() until run() has ended the execution reference keeps the
    // object alive; before that only its own references do, so a thread
    // object that is dropped unstarted is collected and its record with it.
    explicit VMThread(java::lang::Runnable* threadObject);
    virtual ~VMThread();
    VMThread(const VMThread&) = delete;
    VMThread& operator=(const VMThread&) = delete;

    void start();
    bool isStarted() const { return state != CREATED; }
    bool isAlive() const { return state == RUNNING || state == WAITING; }

    static VMThread* current();
    static int activeCount();
    // The enter callback: makes the calling platform thread the current one.
    static VMThread* enter();
    static void yield();
    static void disableSwitching();
    static void enableSwitching();
    static bool switchingDisabled();
    static void sleep(VMThread* thread, jlong milliseconds);
    static void wait(VMThread* thread, java::lang::Object* monitor, jlong milliseconds);
    static void interrupt(VMThread* thread);
    static void cancel(VMThread* thread);
    static void checkInterrupted(VMThread* thread);

    // Allocated from the runtime allocator like every runtime structure.
    static void* operator new(size_t size);
    static void operator delete(void* block);

    // The out-of-memory mark, and the bytes taken from the emergency path
    // since it was last set or cleared.
    bool outOfMemory = false;
    uint64_t emergencyBytes = 0;
    State state = CREATED;
    NativeThreadRecord* platformThread = nullptr;
    java::lang::Runnable* threadObject = nullptr;
    VMNative<java::lang::Object> executionRef;  // keeps the Thread from start() until run() ends
    VMRef* stackList = nullptr;                 // this thread's stack scope
    HAL_Lock* waitLock = nullptr;
    HAL_Lock* sleepLock = nullptr;
    bool interrupted = false;
    bool attached = false;
    // The throwable this thread has in flight, rooted until the next throw.
    VMNative<java::lang::Object> inFlight;
};

// The platform thread's work for a created runtime thread: runs the thread
// object's run() under the runtime lock, then ends the thread.
void VMThread_run(void* argument);
