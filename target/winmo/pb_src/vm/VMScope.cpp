// Reference scopes: the collector's roots.
#include "VMObject.h"
#include "VMRef.h"
#include "hal_system.h"

VMStackScope _VM_stackScopeObject;
VMInstanceScope _VM_instanceScopeObject;

namespace {
constinit VMStaticScope staticScope;
constinit VMNativeScope nativeScope;
constinit VMWeakScope weakScope;

void push(VMRef** head, VMRef* ref) {
    ref->link = *head;
    *head = ref;
}
}  // namespace

VMRef** _VM_currentStackList = nullptr;

VMStaticScope* _VM_staticScope() { return &staticScope; }
VMNativeScope* _VM_nativeScope() { return &nativeScope; }
VMWeakScope* _VM_weakScope() { return &weakScope; }

void VMStackScope::add(VMRef* ref) {
    VMRef** list = _VM_currentStackList;
    if (list == nullptr) _VM_noCurrentStackList();
    push(list, ref);
}

void VMStackScope::remove(VMRef* ref) {
    VMRef** list = _VM_currentStackList;
    if (list == nullptr) return;
    if (*list == ref)
        *list = ref->link;
    else
        _VM_scopeListRemove(list, ref);
}

void VMStaticScope::add(VMRef* ref) { push(&head, ref); }
void VMStaticScope::remove(VMRef* ref) { _VM_scopeListRemove(&head, ref); }
void VMNativeScope::add(VMRef* ref) { push(&head, ref); }
void VMNativeScope::remove(VMRef* ref) { _VM_scopeListRemove(&head, ref); }
void VMWeakScope::add(VMRef* ref) { push(&head, ref); }
void VMWeakScope::remove(VMRef* ref) { _VM_scopeListRemove(&head, ref); }

void _VM_scopeListRemove(VMRef** list, VMRef* ref) {
    VMRef* previous = nullptr;
    for (VMRef* r = *list; r != nullptr; previous = r, r = r->link) {
        if (r != ref) continue;
        if (previous == nullptr)
            *list = r->link;
        else
            previous->link = r->link;
        r->link = nullptr;
        return;
    }
}

void _VM_releaseRef(VMRef* ref) noexcept {
    if (ref->scope != &_VM_stackScopeObject) {
        ref->scope->remove(ref);
        return;
    }
    VMRef** list = _VM_currentStackList;
#ifndef NDEBUG
    if (list != ref->joined) _VM_stackListMismatch();
#endif
    if (list != nullptr) _VM_scopeListRemove(list, ref);
}

void _VM_initStackRoots(VMRef** list) {
    *list = nullptr;
    if (_VM_currentStackList == nullptr) _VM_currentStackList = list;
}

void _VM_releaseStackRoots(VMRef** list) {
    if (_VM_currentStackList == list) _VM_currentStackList = nullptr;
}

void _VM_markScope(VMRef* head, uint32_t bits) {
    for (VMRef* r = head; r != nullptr; r = r->link) {
        java::lang::Object* object = r->getObject();
        if (object != nullptr) _VM_mark(object, bits);
    }
}

void _VM_clearWeakScope(VMRef* head) {
    for (VMRef* r = head; r != nullptr; r = r->link) {
        java::lang::Object* object = r->getObject();
        // Unmarked, or kept without being reached (its reached bit is that
        // of this collection only when it is marked).
        if (object != nullptr && (!_VM_isMarked(object) || (object->_VM_flags & VM_FLAG_REACHED) == 0)) r->clear();
    }
}

void _VM_noCurrentStackList() { HAL_fatalError("A local reference was made while no runtime thread is current!"); }

void _VM_stackListMismatch() { HAL_fatalError("A local reference left a stack list it did not join!"); }
