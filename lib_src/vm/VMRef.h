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

    VMRef* link = nullptr;
    VMScope* scope = nullptr;
#ifndef NDEBUG
    VMRef** joined = nullptr;  // the stack list a local joined
#endif

protected:
    VMRef() = default;
    ~VMRef() = default;

    void pushLocal() noexcept {
        scope = &_VM_stackScopeObject;
        VMRef** list = _VM_currentStackList;
        if (list == nullptr) _VM_noCurrentStackList();
        link = *list;
        *list = this;
#ifndef NDEBUG
        joined = list;
#endif
    }
    void release() noexcept {
        if (scope == &_VM_stackScopeObject) {
            VMRef** list = _VM_currentStackList;
#ifndef NDEBUG
            if (list != joined) _VM_stackListMismatch();
#endif
            if (*list == this)
                *list = link;
            else
                _VM_scopeListRemove(list, this);
        } else if (scope != &_VM_instanceScopeObject) {
            scope->remove(this);
        }
    }
};

template <class T>
class VMPtr : public VMRef {
public:
    using element_type = T;

    VMPtr() noexcept { pushLocal(); }
    VMPtr(std::nullptr_t) noexcept { pushLocal(); }
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

    java::lang::Object* getObject() const override {
        return static_cast<java::lang::Object*>(target);
    }
    void clear() override { target = nullptr; }
    bool isNull() const override { return target == nullptr; }

    T* target = nullptr;

protected:
    struct InScope {};
    VMPtr(InScope, VMScope* s) noexcept {
        scope = s;
        s->add(this);
    }
};

// A reference field of an object: never in any list; its target is kept
// alive only through the owner's markReferences.
template <class T>
class VMField : public VMPtr<T> {
public:
    VMField() noexcept : VMPtr<T>(typename VMPtr<T>::InScope{}, &_VM_instanceScopeObject) {}
    VMField(const VMField&) = delete;
    using VMPtr<T>::operator=;
    VMField& operator=(const VMField& other) noexcept {
        this->target = other.target;
        return *this;
    }
};

// A static reference: a root from start-up until exit.
template <class T>
class VMStatic : public VMPtr<T> {
public:
    VMStatic() noexcept : VMPtr<T>(typename VMPtr<T>::InScope{}, _VM_staticScope()) {}
    VMStatic(const VMStatic&) = delete;
    using VMPtr<T>::operator=;
    VMStatic& operator=(const VMStatic& other) noexcept {
        this->target = other.target;
        return *this;
    }
};

// A reference the runtime itself keeps outside any thread's stack.
template <class T>
class VMNative : public VMPtr<T> {
public:
    VMNative() noexcept : VMPtr<T>(typename VMPtr<T>::InScope{}, _VM_nativeScope()) {}
    VMNative(const VMNative&) = delete;
    using VMPtr<T>::operator=;
    VMNative& operator=(const VMNative& other) noexcept {
        this->target = other.target;
        return *this;
    }
};

// A weak reference: cleared by a collection that does not reach its target.
template <class T>
class VMWeak : public VMPtr<T> {
public:
    VMWeak() noexcept : VMPtr<T>(typename VMPtr<T>::InScope{}, _VM_weakScope()) {}
    VMWeak(const VMWeak&) = delete;
    using VMPtr<T>::operator=;
    VMWeak& operator=(const VMWeak& other) noexcept {
        this->target = other.target;
        return *this;
    }
};

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
