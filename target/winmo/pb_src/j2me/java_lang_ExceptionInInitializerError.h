// java.lang.ExceptionInInitializerError: a static initialiser ended with a
// throwable that is not an Error.
#pragma once

#include "java_lang_Error.h"

namespace java::lang {

class ExceptionInInitializerError : public Error {
    VM_DECLARE_THROWABLE(ExceptionInInitializerError, Error)

public:
    VMField<Throwable> exception;

    VMPtr<ExceptionInInitializerError> construct();
    VMPtr<ExceptionInInitializerError> construct(VMPtr<Throwable> thrown);
    virtual VMPtr<Throwable> getException() { return exception; }
    void markReferences(uint32_t bits) override {
        Error::markReferences(bits);
        _VM_markRef(exception, bits);
    }
};

}  // namespace java::lang
