// java.lang.Thread: the class-library face of a runtime thread.
#include "java_lang_Thread.h"

#include <string>

#include "VMThread.h"
#include "VMThrow.h"
#include "java_lang_IllegalThreadStateException.h"

namespace {

// Numbers the threads made without a name: "Thread-1", "Thread-2", ...
jint threadNameCounter = 0;

// The name that stack traces print for a runtime thread: its Thread object's.
VMPtr<java::lang::String> threadNameOf(VMThread* thread) {
    auto* object = thread->threadObject != nullptr ? dynamic_cast<java::lang::Thread*>(thread->threadObject) : nullptr;
    if (object == nullptr) return nullptr;
    return object->name;
}

}  // namespace

namespace java::lang {

void Thread::_VM_clinit() { _VM_threadNameFunction = threadNameOf; }

Thread::~Thread() {
    // The record forgets this object; the collection that destroys it then
    // destroys the record too, once nothing runs on it.
    if (runtimeThread != nullptr && runtimeThread->threadObject == static_cast<Runnable*>(this))
        runtimeThread->threadObject = nullptr;
    runtimeThread = nullptr;
}

void Thread::_VM_setUp(VMPtr<Runnable> runTarget, VMPtr<String> threadName) {
    Super::construct();
    runtimeThread = new VMThread(this);
    VMPtr<Thread> creator = currentThread();
    priority = creator != nullptr ? creator->priority : NORM_PRIORITY;
    target = runTarget;
    if (threadName == nullptr) {
        ++threadNameCounter;
        threadName = String::_VM_fromUTF8(("Thread-" + std::to_string(threadNameCounter)).c_str());
    }
    name = threadName;
}

VMPtr<Thread> Thread::construct() {
    _VM_setUp(nullptr, nullptr);
    return this;
}

VMPtr<Thread> Thread::construct(VMPtr<Runnable> runTarget) {
    _VM_setUp(runTarget, nullptr);
    return this;
}

VMPtr<Thread> Thread::construct(VMPtr<String> threadName) {
    _VM_setUp(nullptr, threadName);
    return this;
}

VMPtr<Thread> Thread::construct(VMThread* thread, VMPtr<String> threadName) {
    Super::construct();
    runtimeThread = thread;
    if (thread != nullptr) thread->threadObject = this;
    priority = NORM_PRIORITY;
    target = nullptr;
    name = threadName;
    return this;
}

void Thread::start() {
    VMSynchronized lock(this);
    if (runtimeThread == nullptr || runtimeThread->isStarted())
        _VM_throw(IllegalThreadStateException::create()->construct());
    runtimeThread->start();
}

void Thread::interrupt() { VMThread::interrupt(runtimeThread); }

void Thread::run() {
    VMPtr<Runnable> work = target;
    if (work != nullptr) work->run();
}

jboolean Thread::isAlive() { return runtimeThread != nullptr && runtimeThread->isAlive(); }

void Thread::join() {
    // The run wrapper notifies every waiter on this object when run() ends.
    VMSynchronized lock(this);
    while (isAlive()) wait();
}

void Thread::setPriority(jint newPriority) {
    if (newPriority < MIN_PRIORITY || newPriority > MAX_PRIORITY) _VM_throwIllegalArgumentException();
    priority = newPriority;
}

VMPtr<String> Thread::toString() {
    VMPtr<String> threadName = name;
    std::string text = "Thread[";
    text += threadName != nullptr ? threadName->_VM_toStdString() : std::string("null");
    text += "," + std::to_string(priority) + "]";
    return String::_VM_fromUTF8(text.c_str());
}

VMPtr<Thread> Thread::currentThread() {
    VMThread* current = VMThread::current();
    if (current == nullptr || current->threadObject == nullptr) return nullptr;
    return dynamic_cast<Thread*>(current->threadObject);
}

void Thread::sleep(jlong millis) { VMThread::sleep(VMThread::current(), millis); }

void Thread::yield() { VMThread::yield(); }

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Thread, .name = "java.lang.Thread", .staticInit = java::lang::Thread::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<java::lang::Thread>, .interfaces = {"java.lang.Runnable"})
