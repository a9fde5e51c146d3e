// Typed references and the reference scopes that make them roots.
//
// Every reference code keeps is a VMPtr<T>. Constructing one registers it
// with a scope; destroying it removes it. A plain VMPtr<T> is a local (stack
// scope of the current thread); fields, statics, runtime-held and weak
// references are the subclasses VMField, VMStatic, VMNative and VMWeak, whose
// constructors name their scope.
#pragma once

#include <cstddef>
#include <type_traits>

#include "VMTypes.h"

class VMRef;

// A scope is where references register. The stack scope works on the list of
// the thread now running runtime code; static, native and weak scopes keep a
// list of their own; the instance scope keeps none (fields are reached
// through their owner's markReferences).
class VMScope {
public:
    constexpr explicit VMScope(const char* scopeName) : name(scopeName) {}
    virtual void add(VMRef* ref) = 0;
    virtual void remove(VMRef* ref) = 0;
    const char* const name;
};

class VMStackScope final : public VMScope {
public:
    constexpr VMStackScope() : VMScope("stack scope") {}
    void add(VMRef* ref) override;
    void remove(VMRef* ref) override;
};

class VMInstanceScope final : public VMScope {
public:
    constexpr VMInstanceScope() : VMScope("instance scope") {}
    void add(VMRef*) override {}
    void remove(VMRef*) override {}
};

class VMStaticScope final : public VMScope {
public:
    constexpr VMStaticScope() : VMScope("static scope") {}
    void add(VMRef* ref) override;
    void remove(VMRef* ref) override;
    VMRef* head = nullptr;
};

class VMNativeScope final : public VMScope {
public:
    constexpr VMNativeScope() : VMScope("native scope") {}
    void add(VMRef* ref) override;
    void remove(VMRef* ref) override;
    VMRef* head = nullptr;
};

class VMWeakScope final : public VMScope {
public:
    constexpr VMWeakScope() : VMScope("weak scope") {}
    void add(VMRef* ref) override;
    void remove(VMRef* ref) override;
    VMRef* head = nullptr;
};

extern VMStackScope _VM_stackScopeObject;
extern VMInstanceScope _VM_instanceScopeObject;
VMStaticScope* _VM_staticScope();
VMNativeScope* _VM_nativeScope();
VMWeakScope* _VM_weakScope();

// Head word of the stack list of the thread now running runtime code.
extern VMRef** _VM_currentStackList;

void _VM_initStackRoots(VMRef** list);
// The slow half of a reference's destruction: a local that is not the head
// of the current list, or a reference of the static, native or weak scope.
void _VM_releaseRef(VMRef* ref) noexcept;
void _VM_releaseStackRoots(VMRef** list);
void _VM_scopeListRemove(VMRef** list, VMRef* ref);
void _VM_markScope(VMRef* head, uint32_t bits);
void _VM_clearWeakScope(VMRef* head);

// Raised when a reference is used while null (NullPointerException).
[[noreturn]] void _VM_throwNullPointer();
// A local reference made while no runtime thread is current.
[[noreturn]] void _VM_noCurrentStackList();
// A local reference removed from a list other than the one it joined.
[[noreturn]] void _VM_stackListMismatch();

class VMRef {
public:
    virtual java::lang::Object* getObject() const = 0;
    virtual void clear() = 0;
    virtual bool isNull() const = 0;

    // Set by every constructor (no default initialisers: a local's list
    // words are read before its own are written, so no store is wasted).
    VMRef* link;
    VMScope* scope;
#ifndef NDEBUG
    VMRef** joined;  // the stack list a local joined
#endif

protected:
    VMRef() = default;
    ~VMRef() = default;
    VMRef(const VMRef&) = delete;
    VMRef& operator=(const VMRef&) = delete;

    // Called from VMPtr's constructors and destructor, after its table
    // pointer is in place, so this base's own constructor stores nothing.
    //
    // A local is pushed on the stack list of the thread now running runtime
    // code.
    void pushLocal() noexcept {
        VMRef** list = _VM_currentStackList;
        if (list == nullptr) _VM_noCurrentStackList();
        VMRef* head = *list;
        link = head;
        scope = &_VM_stackScopeObject;
#ifndef NDEBUG
        joined = list;
#endif
        *list = this;
    }
    // A reference of another scope: the scope lists it (or not).
    void joinScope(VMScope* in) noexcept {
        link = nullptr;
        scope = in;
#ifndef NDEBUG
        joined = nullptr;
#endif
        in->add(this);
    }
    // A local destroyed in reverse order of construction is the head of the
    // current list: it is unlinked inline, as is the second one. A local from
    // further down the list and a static, native or weak reference go the
    // slow way; fields are in no list.
    void release() noexcept {
        if (scope == &_VM_stackScopeObject) [[likely]] {
            VMRef** list = _VM_currentStackList;
            if (list != nullptr) [[likely]] {
                VMRef* head = *list;
                if (head == this) [[likely]] {
                    *list = link;
                    return;
                }
                // Chained calls (create()->construct()->append(...)) leave
                // their temporaries one behind the result they made: the
                // second of the list is unlinked inline too.
                if (head != nullptr && head->link == this) {
                    head->link = link;
                    return;
                }
            }
        } else if (scope == &_VM_instanceScopeObject) {
            return;
        }
        _VM_releaseRef(this);
    }
};

template <class T>
class VMPtr : public VMRef {
public:
    using element_type = T;

    VMPtr() noexcept : target(nullptr) { pushLocal(); }
    VMPtr(std::nullptr_t) noexcept : target(nullptr) { pushLocal(); }
    VMPtr(T* object) noexcept : target(object) { pushLocal(); }
    VMPtr(const VMPtr& other) noexcept : target(other.target) { pushLocal(); }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    VMPtr(const VMPtr<U>& other) noexcept : target(other.target) {
        pushLocal();
    }
    ~VMPtr() { release(); }

    VMPtr& operator=(const VMPtr& other) noexcept {
        target = other.target;
        return *this;
    }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    VMPtr& operator=(const VMPtr<U>& other) noexcept {
        target = other.target;
        return *this;
    }
    VMPtr& operator=(T* object) noexcept {
        target = object;
        return *this;
    }
    VMPtr& operator=(std::nullptr_t) noexcept {
        target = nullptr;
        return *this;
    }

    T* operator->() const {
        if (target == nullptr) _VM_throwNullPointer();
        return target;
    }
    T& operator*() const {
        if (target == nullptr) _VM_throwNullPointer();
        return *target;
    }
    T* get() const noexcept { return target; }
    explicit operator bool() const noexcept { return target != nullptr; }

    java::lang::Object* getObject() const override { return static_cast<java::lang::Object*>(target); }
    void clear() override { target = nullptr; }
    bool isNull() const override { return target == nullptr; }

    T* target;

protected:
    struct InScope {};
    VMPtr(InScope, VMScope* in) noexcept : target(nullptr) { joinScope(in); }
};

// A reference kept in a scope other than the stack, named by the function
// that returns it. Never copied: the copy of such a reference is a local
// (VMPtr<T>) or is made by assignment.
template <class T, VMScope* (*Scope)()>
class VMScopedRef : public VMPtr<T> {
public:
    VMScopedRef() noexcept : VMPtr<T>(typename VMPtr<T>::InScope{}, Scope()) {}
    VMScopedRef(const VMScopedRef&) = delete;
    using VMPtr<T>::operator=;
    VMScopedRef& operator=(const VMScopedRef& other) noexcept {
        this->target = other.target;
        return *this;
    }
};

inline VMScope* _VM_instanceScopeOf() { return &_VM_instanceScopeObject; }
inline VMScope* _VM_staticScopeOf() { return _VM_staticScope(); }
inline VMScope* _VM_nativeScopeOf() { return _VM_nativeScope(); }
inline VMScope* _VM_weakScopeOf() { return _VM_weakScope(); }

// A reference field of an object: never in any list; its target is kept
// alive only through the owner's markReferences.
template <class T>
using VMField = VMScopedRef<T, _VM_instanceScopeOf>;
// A static reference: a root from start-up until exit.
template <class T>
using VMStatic = VMScopedRef<T, _VM_staticScopeOf>;
// A reference the runtime itself keeps outside any thread's stack.
template <class T>
using VMNative = VMScopedRef<T, _VM_nativeScopeOf>;
// A weak reference: cleared by a collection that does not reach its target.
template <class T>
using VMWeak = VMScopedRef<T, _VM_weakScopeOf>;

// Two references are equal when they name the same object (null == null).
inline bool operator==(const VMRef& a, const VMRef& b) { return a.getObject() == b.getObject(); }
inline bool operator!=(const VMRef& a, const VMRef& b) { return !(a == b); }
template <class T>
inline bool operator==(const VMPtr<T>& a, std::nullptr_t) {
    return a.target == nullptr;
}
template <class T>
inline bool operator!=(const VMPtr<T>& a, std::nullptr_t) {
    return a.target != nullptr;
}
