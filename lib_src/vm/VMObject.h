// The object header and the monitors; java.lang.Object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <typeinfo>

#include "VMAlloc.h"
#include "VMRef.h"
#include "VMTypes.h"

struct HAL_Lock;

// --- object header operations ---------------------------------------------
inline java::lang::Object* _VM_initObject(java::lang::Object* header);
[[noreturn]] void _VM_noRuntimeForObject();
void _VM_releaseObject(java::lang::Object* header);
inline void _VM_endConstruction(java::lang::Object* header);
void _VM_mark(java::lang::Object* header, uint32_t bits);
// What the marked bit (VM_FLAG_MARKED) of a flag word holds for an object
// the last collection kept: it flips with every collection, so that a
// collection needs no walk to clear the marks. New objects take it too.
extern uint32_t _VM_markedValue;
// The objects now under construction (the flag set and not yet cleared):
// the collector looks for them from the head of the heap list only while
// there are any.
extern uint32_t _VM_constructingCount;
// Sets the awaiting-finalisation flag, and lets the collector find the
// object without a walk over the heap. The flag is set only through this.
void _VM_setFinalizable(java::lang::Object* header);
// Clears it (the finalizer, before finalize runs; the destruction of an
// object that still awaits it).
void _VM_clearFinalizable(java::lang::Object* header);
// Puts an object back under construction (the flag and its count).
void _VM_setConstructing(java::lang::Object* header);
// Destroys an object and frees its block (the collector's slot 0).
void _VM_destroyObject(java::lang::Object* header);

// --- monitors -------------------------------------------------------------------
// Enter and leave an object's monitor. Inline (in VMRuntime.h, which this
// header includes at its end: they read the current thread), with the rarer
// paths out of line.
inline void _VM_lock(java::lang::Object* header);
inline void _VM_unlock(java::lang::Object* header);
void _VM_lockSlow(java::lang::Object* header);
void _VM_unlockSlow(java::lang::Object* header);
void _VM_inflateMonitor(java::lang::Object* header);
// Threads asleep until some thin monitor is released or inflated, and
// waking them.
extern int _VM_thinMonitorWaiters;
void _VM_wakeThinMonitorWaiters();

namespace java::lang {

// The root of every class. Every class derives from it virtually, so exactly
// one header sits in every instance, and its constructor (run once, by the
// most-derived class) initialises the header and links the object into the
// heap list.
class Object {
public:
    Object() noexcept { _VM_initObject(this); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object();

    virtual jint hashCode();
    virtual jboolean equals(VMPtr<Object> obj);
    virtual VMPtr<String> toString();
    virtual void finalize() {}
    virtual void markReferences(uint32_t bits) { (void)bits; }
    virtual Class* getClass();
    // Fetches into the cache the blocks the object owns besides its own (an
    // array's elements): the sweep calls it a little before it destroys the
    // object, so that freeing them does not wait for memory.
    virtual void _VM_prefetchStorage() {}

    void wait();
    void wait(jlong timeout);
    void notify();
    void notifyAll();

    static VMPtr<Object> create();
    VMPtr<Object> construct() { return VMPtr<Object>(this); }
    static VMPtr<Object> _VM_newInstance();
    static Class* _VM_classRecord;
    static Class* _VM_getClass() { return _VM_classRecord; }

    // Object header. The collector's walks read the next link and the flag
    // word of every object, so these two sit together right behind the table
    // pointer; the header packs into 48 bytes.
    Object* _VM_next = nullptr;
    uint8_t _VM_flags = VM_FLAG_REACHED | VM_FLAG_CONSTRUCTING;
    // 1 until the object has outlived a sweep (the collector's own).
    uint8_t _VM_young = 1;
    uint16_t _VM_reserved = 0;
    jint _VM_count = 0;
    Object* _VM_prev = nullptr;
    VMThread* _VM_owner = nullptr;
    HAL_Lock* _VM_inflated = nullptr;
};

}  // namespace java::lang

static_assert(sizeof(java::lang::Object) == 48, "the object header packs into 48 bytes");

inline void _VM_endConstruction(java::lang::Object* header) {
    const uint32_t flags = header->_VM_flags;
    if ((flags & VM_FLAG_CONSTRUCTING) != 0) [[likely]] {
        header->_VM_flags = flags & ~uint32_t(VM_FLAG_CONSTRUCTING);
        --_VM_constructingCount;
    }
}

// Whether the last collection (or the one running) marked the object; an
// object made since then counts as marked.
inline bool _VM_isMarked(const java::lang::Object* header) {
    return (header->_VM_flags & VM_FLAG_MARKED) == _VM_markedValue;
}

// The object as a T when its class is exactly T, else null; for final
// classes, where that is the same as dynamic_cast<T*> but takes a compare of
// the class identity instead of a walk of the class tree. The identity is
// the address of the class's type record: the program links one per class
// (the record comes with the class's first out-of-line virtual function, or
// is merged at link time), so a compare of the names is not needed.
template <class T>
inline T* _VM_asFinal(java::lang::Object* object) {
    static_assert(std::is_final_v<T>, "only a final class has no subclass instance to miss");
    if (object == nullptr || &typeid(*object) != &typeid(T)) return nullptr;
    return static_cast<T*>(dynamic_cast<void*>(object));
}

// Marks a reference field's target (the common body of markReferences).
template <class T>
inline void _VM_markRef(const VMPtr<T>& ref, uint32_t bits) {
    if (ref.target != nullptr) _VM_mark(static_cast<java::lang::Object*>(ref.target), bits);
}

// Start and end of a synchronized block. Inline, as is the guard below: many
// classes enter a monitor for every byte or element they pass on.
inline void _VM_synchronizedEnter(VMPtr<java::lang::Object>& guard, java::lang::Object* object);
inline void _VM_synchronizedExit(VMPtr<java::lang::Object>& guard);

// Synchronized block guard: holds the object's monitor from construction to
// destruction, also when the block throws.
class VMSynchronized {
public:
    explicit VMSynchronized(java::lang::Object* object) { _VM_synchronizedEnter(guard, object); }
    template <class T>
    explicit VMSynchronized(const VMPtr<T>& ref)
        : VMSynchronized(ref.target == nullptr ? nullptr : static_cast<java::lang::Object*>(ref.target)) {}
    ~VMSynchronized() { _VM_synchronizedExit(guard); }
    VMSynchronized(const VMSynchronized&) = delete;
    VMSynchronized& operator=(const VMSynchronized&) = delete;

private:
    VMPtr<java::lang::Object> guard;
};
inline void _VM_synchronizedEnter(VMPtr<java::lang::Object>& guard, java::lang::Object* object) {
    if (object == nullptr) _VM_throwNullPointer();
    guard = object;
    _VM_lock(object);
}
inline void _VM_synchronizedExit(VMPtr<java::lang::Object>& guard) {
    if (guard.target != nullptr) _VM_unlock(guard.target);
    guard = nullptr;
}

// The monitors' inline paths need the runtime's current thread.
#include "VMRuntime.h"
