// java.lang.Thread: the class-library face of a runtime thread. Each object
// owns one VMThread; starting the object starts that thread, which runs the
// object's run().
#pragma once

#include "VMClass.h"
#include "java_lang_Runnable.h"
#include "java_lang_String.h"

namespace java::lang {

class Thread : public virtual Object, public virtual Runnable {
    VM_DECLARE_CLASS(Thread, Object)

public:
    static constexpr jint MIN_PRIORITY = 1;
    static constexpr jint NORM_PRIORITY = 5;
    static constexpr jint MAX_PRIORITY = 10;

    VMThread* runtimeThread = nullptr;  // its record lives until this object is collected
    jint priority = 0;
    VMField<Runnable> target;
    VMField<String> name;

    ~Thread() override;

    VMPtr<Thread> construct();
    VMPtr<Thread> construct(VMPtr<Runnable> runTarget);
    VMPtr<Thread> construct(VMPtr<String> threadName);
    // Runtime-internal: binds an existing runtime thread (the main thread's
    // "System" object), priority 5, no target.
    VMPtr<Thread> construct(VMThread* thread, VMPtr<String> threadName);

    // IllegalThreadStateException when the thread has been started before.
    virtual void start();
    virtual void interrupt();
    void run() override;
    jboolean isAlive();
    // Waits until the thread has ended (at once for one not alive).
    void join();
    jint getPriority() { return priority; }
    // IllegalArgumentException outside MIN_PRIORITY to MAX_PRIORITY. The
    // value is kept and inherited; it does not change the order in which
    // threads get the runtime lock.
    void setPriority(jint newPriority);
    VMPtr<String> getName() { return name; }
    // "Thread[" name "," priority "]".
    VMPtr<String> toString() override;

    // The Thread object of the runtime's current thread (null when it has
    // none).
    static VMPtr<Thread> currentThread();
    // A positive time sleeps, zero or less only yields; InterruptedException
    // when interrupted before or during it.
    static void sleep(jlong millis);
    static void yield();

    void markReferences(uint32_t bits) override {
        _VM_markRef(target, bits);
        _VM_markRef(name, bits);
    }
    static void _VM_clinit();

private:
    void _VM_setUp(VMPtr<Runnable> runTarget, VMPtr<String> threadName);
};

}  // namespace java::lang
