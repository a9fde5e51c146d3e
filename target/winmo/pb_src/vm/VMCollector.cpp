// The mark-and-sweep collector over the heap list.
#include <vector>

#include "VMRuntime.h"
#include "VMThread.h"
#include "hal_system.h"
#include "hal_thread.h"

namespace {

// Marking uses an explicit stack, so a chain of any length is marked without
// deep native recursion.
std::vector<java::lang::Object*> markStack;
bool draining = false;

void drain(uint32_t bits) {
    draining = true;
    while (!markStack.empty()) {
        java::lang::Object* object = markStack.back();
        markStack.pop_back();
        object->markReferences(bits);
    }
    draining = false;
}

}  // namespace

void _VM_mark(java::lang::Object* header, uint32_t bits) {
    if (header == nullptr || (header->_VM_flags & VM_FLAG_MARKED) != 0) return;
    header->_VM_flags |= bits;
    markStack.push_back(header);
    if (!draining) drain(bits);
}

void _VM_threadAdd(VMRuntime* runtime, VMThread* thread) { _VM_listPushFront(&runtime->threads, thread); }
void _VM_threadRemove(VMRuntime* runtime, VMThread* thread) { _VM_listRemove(&runtime->threads, thread); }

VMCollectorHooks _VM_collectorHooks;

void _VM_collect(VMRuntime* runtime) {
    if (runtime == nullptr || runtime->stage < 12) return;
    VMThread::disableSwitching();
    runtime->finalisableFound = false;
    if (_VM_collectorHooks.verifyHeap != nullptr) _VM_collectorHooks.verifyHeap(runtime);

    // Mark.
    size_t awaiting = 0, constructing = 0;
    for (java::lang::Object* o = runtime->heapHead; o != nullptr; o = o->_VM_next) {
        o->_VM_flags &= ~uint32_t(VM_FLAG_REACHED | VM_FLAG_MARKED);
        if (o->_VM_flags & VM_FLAG_FINALIZABLE) ++awaiting;
        if (o->_VM_flags & VM_FLAG_CONSTRUCTING) ++constructing;
    }
    const uint32_t rootBits = VM_FLAG_REACHED | VM_FLAG_MARKED;
    _VM_markScope(_VM_nativeScope()->head, rootBits);
    _VM_markScope(_VM_staticScope()->head, rootBits);
    for (VMListNode* n = runtime->threads.first; n != nullptr; n = n->next)
        _VM_markScope(static_cast<VMThread*>(n->value)->stackList, rootBits);
    if (awaiting != 0 || constructing != 0) {
        runtime->finalisableFound = awaiting > 0;
        for (java::lang::Object* o = runtime->heapHead; o != nullptr; o = o->_VM_next) {
            if ((o->_VM_flags & VM_FLAG_REACHED) == 0 &&
                (o->_VM_flags & (VM_FLAG_FINALIZABLE | VM_FLAG_CONSTRUCTING)) != 0)
                _VM_mark(o, VM_FLAG_MARKED);
        }
    }

    // Sweep.
    _VM_clearWeakScope(_VM_weakScope()->head);
    for (java::lang::Object* o = runtime->heapHead; o != nullptr;) {
        java::lang::Object* next = o->_VM_next;
        if ((o->_VM_flags & VM_FLAG_MARKED) == 0) _VM_destroyObject(o);
        o = next;
    }
    for (bool destroyed = true; destroyed;) {
        destroyed = false;
        for (VMListNode* n = runtime->threads.first; n != nullptr; n = n->next) {
            auto* t = static_cast<VMThread*>(n->value);
            t->outOfMemory = false;
            // Only a record whose platform thread has finished is reclaimed.
            if (t->threadObject == nullptr && !t->isAlive() && !t->attached &&
                (t->state == VMThread::CREATED || HAL_isThreadFinished(t->platformThread))) {
                if (t->state == VMThread::CREATED) continue;
                delete t;
                destroyed = true;
                break;
            }
        }
    }
    if (_VM_collectorHooks.verifyHeap != nullptr) _VM_collectorHooks.verifyHeap(runtime);

    HAL_compactHeap();
    ++runtime->collectionCount;
    if (runtime->finalisableFound && _VM_collectorHooks.wakeFinalizer != nullptr)
        _VM_collectorHooks.wakeFinalizer(runtime);
    VMThread::enableSwitching();
    if (runtime->finalisableFound && _VM_collectorHooks.startFinalizer != nullptr)
        _VM_collectorHooks.startFinalizer(runtime);
}
