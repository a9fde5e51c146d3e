// Runtime threads: entering and leaving the runtime, yield, sleep, wait,
// interrupt, cancel and the run wrapper.
#include "VMThread.h"

#include "VMClass.h"
#include "VMExitException.h"
#include "VMRuntime.h"
#include "VMThrow.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "java_lang_Runnable.h"
#include "java_lang_Throwable.h"

namespace {
bool switchingDisabledFlag = false;
}

VMThreadNameFunction _VM_threadNameFunction = nullptr;

// --- the runtime's thread list --------------------------------------------------

void _VM_threadAdd(VMRuntime* runtime, VMThread* thread) { _VM_listPushFront(&runtime->threads, thread); }
void _VM_threadRemove(VMRuntime* runtime, VMThread* thread) { _VM_listRemove(&runtime->threads, thread); }

void* VMThread::operator new(size_t size) { return _VM_alloc(size, 1); }
void VMThread::operator delete(void* block) { _VM_free(block); }

VMThread::VMThread(NativeThreadRecord* platformRecord) {
    state = RUNNING;
    platformThread = platformRecord;
    attached = true;
    HAL_setCurrentThreadData(platformRecord, this);
    _VM_initStackRoots(&stackList);
    _VM_currentStackList = &stackList;
    if (_VM_runtime != nullptr) _VM_threadAdd(_VM_runtime, this);
}

VMThread::VMThread(java::lang::Runnable* object) {
    state = CREATED;
    threadObject = object;
    _VM_initStackRoots(&stackList);
    // Listed first: the list node is the one allocation here that can throw
    // OutOfMemoryError, and it must not leave a suspended platform thread
    // behind that no record owns.
    if (_VM_runtime != nullptr) _VM_threadAdd(_VM_runtime, this);
    if (HAL_createThread(&platformThread, &VMThread_run, this) != 0 || platformThread == nullptr)
        HAL_fatalError("Unable to create thread!");
}

VMThread::~VMThread() {
    if (_VM_runtime != nullptr) {
        _VM_threadRemove(_VM_runtime, this);
        if (_VM_runtime->currentThread == this) _VM_runtime->currentThread = nullptr;
        if (_VM_runtime->mainThread == this) _VM_runtime->mainThread = nullptr;
    }
    // A thread that never started is still suspended: it is released
    // without running anything. Any other must have finished (the collector
    // reclaims only such records).
    if (!attached) {
        if (state == CREATED)
            HAL_deleteUnstartedThread(platformThread);
        else
            HAL_deleteThread(platformThread);
    }
    if (sleepLock != nullptr) HAL_deleteLock(sleepLock);
    sleepLock = nullptr;
    _VM_releaseStackRoots(&stackList);
}

void VMThread::start() {
    if (state != CREATED) return;
    state = RUNNING;
    if (threadObject != nullptr) executionRef = static_cast<java::lang::Object*>(threadObject);
    HAL_startThread(platformThread);
}

VMThread* VMThread::current() { return _VM_runtime != nullptr ? _VM_runtime->currentThread : nullptr; }

int VMThread::activeCount() {
    if (_VM_runtime == nullptr) return 0;
    int n = 0;
    for (VMListNode* node = _VM_runtime->threads.first; node != nullptr; node = node->next)
        if (static_cast<VMThread*>(node->value)->isAlive()) ++n;
    return n;
}

VMThread* VMThread::enter() {
    // A thread left behind by shutdown must not touch the freed runtime.
    if (_VM_runtimeDestroyed) HAL_parkForever();
    auto* t = static_cast<VMThread*>(HAL_getCurrentThreadData());
    _VM_currentStackList = t != nullptr ? &t->stackList : nullptr;
    if (_VM_runtime != nullptr) _VM_runtime->currentThread = t;
    return t;
}

void VMThread::yield() {
    if (switchingDisabledFlag) return;
    if (_VM_runtime != nullptr) _VM_runtime->currentThread = nullptr;
    HAL_yield();
}

void VMThread::disableSwitching() { switchingDisabledFlag = true; }
void VMThread::enableSwitching() { switchingDisabledFlag = false; }
bool VMThread::switchingDisabled() { return switchingDisabledFlag; }

void VMThread::checkInterrupted(VMThread* thread) {
    if (thread != nullptr && thread->interrupted) {
        thread->interrupted = false;
        _VM_throwInterruptedException();
    }
}

void VMThread::sleep(VMThread* thread, jlong milliseconds) {
    if (thread == nullptr || thread->state != RUNNING) return;
    checkInterrupted(thread);
    if (milliseconds > 0) {
        if (thread->sleepLock == nullptr) {
            if (HAL_createLock(&thread->sleepLock, 1) != 0 || thread->sleepLock == nullptr)
                HAL_fatalError("HAL_createLock() failed in VMThread::sleep().");
        }
        thread->state = WAITING;
        thread->waitLock = thread->sleepLock;
        HAL_wait(thread->sleepLock, milliseconds);
        thread->state = RUNNING;
        thread->waitLock = nullptr;
    } else {
        yield();
    }
    checkInterrupted(thread);
}

void VMThread::wait(VMThread* thread, java::lang::Object* monitor, jlong milliseconds) {
    if (thread == nullptr || thread->state != RUNNING) return;
    checkInterrupted(thread);
    jint count = monitor->_VM_count;
    monitor->_VM_count = 0;
    monitor->_VM_owner = nullptr;
    thread->state = WAITING;
    thread->waitLock = monitor->_VM_inflated;
    HAL_wait(monitor->_VM_inflated, milliseconds);
    thread->state = RUNNING;
    thread->waitLock = nullptr;
    monitor->_VM_count = count;
    monitor->_VM_owner = current();
    checkInterrupted(thread);
}

void VMThread::interrupt(VMThread* thread) {
    if (thread == nullptr || !thread->isAlive()) return;
    thread->interrupted = true;
    if (thread->waitLock != nullptr) HAL_notifyAll(thread->waitLock);
}

void VMThread::cancel(VMThread* thread) {
    if (thread != nullptr && thread->state == RUNNING) HAL_cancelThread(thread->platformThread);
}

void VMThread_run(void* argument) {
    auto* t = static_cast<VMThread*>(argument);
    _VM_currentStackList = &t->stackList;
    if (_VM_runtime != nullptr) _VM_runtime->currentThread = t;
    try {
        try {
            if (t->threadObject != nullptr) t->threadObject->run();
        } catch (java::lang::Throwable* thrown) {
            VMPtr<java::lang::Throwable> keep(thrown);
            keep->printStackTrace();
        } catch (VMExitException*) {
            if (_VM_runtime != nullptr) _VM_runtime->exitRequested = true;
        }
    } catch (...) {
        HAL_fatalError("Unexpected exception in VMThread_run() #1!");
    }
    t->state = VMThread::ENDED;
    try {
        java::lang::Object* object = t->executionRef.target;
        if (object != nullptr) {
            VMSynchronized lock(object);
            object->notifyAll();
        }
    } catch (...) {
        HAL_fatalError("Unexpected exception in VMThread_run() #2!");
    }
    if (t->sleepLock != nullptr) HAL_unlock(t->sleepLock);
    t->inFlight = nullptr;
    t->executionRef = nullptr;
}

bool _VM_currentThreadName(VMPtr<java::lang::String>& name) {
    VMThread* t = VMThread::current();
    if (t == nullptr) return false;
    name = _VM_threadNameFunction != nullptr ? _VM_threadNameFunction(t) : VMPtr<java::lang::String>();
    return true;
}
