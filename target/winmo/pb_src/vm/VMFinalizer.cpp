// The system thread object, the finalizer thread and the collector's steps
// that drive it.
#include "VMFinalizer.h"

#include "VMThread.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_Throwable.h"

namespace com::tarsel::sorrel::vm {

VMPtr<Finalizer> Finalizer::construct() {
    Super::construct(VM_STR("Finalizer"));
    idle = 0;
    stop = 0;
    return this;
}

void Finalizer::markIdle() { idle = 1; }

void Finalizer::wake() {
    VMSynchronized lock(this);
    idle = 0;
    ++wakeRequests;
    notify();
}

void Finalizer::requestStop() {
    VMSynchronized lock(this);
    stop = 1;
    notify();
}

void Finalizer::run() {
    try {
        while (!stop) {
            const uint32_t wakesBefore = wakeRequests;
            finalisationPass();
            markIdle();
            VMSynchronized lock(this);
            // Woken during the pass: the objects of that wake may lie behind
            // the point the pass had reached, so another pass follows at once.
            if (wakeRequests != wakesBefore) idle = 0;
            while (idle && !stop) wait();
        }
    } catch (java::lang::InterruptedException*) {
        stop = 1;
    }
}

// Walks the heap list from its head and finalises every object that awaits
// finalisation and was not reached by the last collection. The object looked
// at is held by a local reference: a collection during the walk keeps it,
// and the walk goes on from its next object.
void Finalizer::finalisationPass() {
    VMRuntime* runtime = _VM_runtime;
    if (runtime == nullptr) return;
    int counter = 0;
    VMPtr<java::lang::Object> current = runtime->heapHead;
    while (current != nullptr) {
        java::lang::Object* object = current.get();
        const uint32_t flags = object->_VM_flags;
        if ((flags & VM_FLAG_FINALIZABLE) != 0 && (flags & VM_FLAG_REACHED) == 0) {
            _VM_clearFinalizable(object);
            object->_VM_flags |= VM_FLAG_FINALIZED;
            const uint32_t collections = runtime->collectionCount;
            try {
                object->finalize();
            } catch (java::lang::InterruptedException*) {
                return;
            } catch (java::lang::Throwable*) {
                // What a finalize() throws is dropped.
            }
            if (runtime->collectionCount != collections) {
                // The heap changed under the walk: start again from the head.
                current = runtime->heapHead;
                continue;
            }
            counter = 0;
        } else {
            ++counter;
        }
        if (counter % 16 == 0) {
            java::lang::Thread::yield();
            if (stop || idle) return;
        }
        current = current->_VM_next;
    }
}

}  // namespace com::tarsel::sorrel::vm

using com::tarsel::sorrel::vm::Finalizer;

namespace {

Finalizer* finalizerOf(VMRuntime* runtime) {
    return runtime != nullptr ? dynamic_cast<Finalizer*>(runtime->finalizer.target) : nullptr;
}

}  // namespace

void _VM_createSystemThreads(VMRuntime* runtime) {
    VMPtr<java::lang::Thread> system = java::lang::Thread::create()->construct(runtime->mainThread, VM_STR("System"));
    runtime->systemThread = system;
    VMPtr<Finalizer> finalizer = Finalizer::create()->construct();
    runtime->finalizer = finalizer;
}

void _VM_stopFinalizer(VMRuntime* runtime) {
    VMPtr<Finalizer> finalizer = finalizerOf(runtime);
    if (finalizer != nullptr && finalizer->isAlive()) finalizer->requestStop();
}

void _VM_wakeFinalizer(VMRuntime* runtime) {
    VMPtr<Finalizer> finalizer = finalizerOf(runtime);
    if (finalizer != nullptr) finalizer->wake();
}

void _VM_startFinalizer(VMRuntime* runtime) {
    VMPtr<Finalizer> finalizer = finalizerOf(runtime);
    if (finalizer != nullptr && finalizer->runtimeThread != nullptr && !finalizer->runtimeThread->isStarted())
        finalizer->start();
}

VM_REGISTER_CLASS(com::tarsel::sorrel::vm::Finalizer, .name = "com.tarsel.sorrel.vm.Finalizer",
                  .newInstance = _VM_newInstanceOf<com::tarsel::sorrel::vm::Finalizer>)
