// java.lang.Throwable: the root of every error the system reports.
#pragma once

#include <exception>

#include "VMClass.h"
#include "VMException.h"
#include "java_lang_String.h"

namespace java::lang {

class Throwable : public VMException {
    VM_DECLARE_CLASS(Throwable, Object)

public:
    VMField<String> message;
    // The throwable that was being handled, or unwound, when this one was
    // thrown: kept alive as long as this one is in flight, so that a handler
    // that throws and catches another can still rethrow its own.
    VMField<Object> _VM_thrownDuring;

    VMPtr<Throwable> construct();
    VMPtr<Throwable> construct(VMPtr<String> message);

    virtual VMPtr<String> getMessage();
    virtual void printStackTrace();
    VMPtr<String> toString() override;
    void markReferences(uint32_t bits) override {
        _VM_markRef(message, bits);
        _VM_markRef(_VM_thrownDuring, bits);
    }

    // Throws this object as a pointer to its most-derived class.
    [[noreturn]] virtual void _VM_throw() {
        _VM_setInFlight(this);
        throw this;
    }
};

}  // namespace java::lang

// Throws a throwable held by a reference (NullPointerException for null).
template <class T>
[[noreturn]] inline void _VM_throw(const VMPtr<T>& thrown) {
    thrown->_VM_throw();
    std::terminate();  // not reached: _VM_throw never returns
}
