// Throwing the runtime's own exceptions.
#include "VMThrow.h"

#include <exception>

#include "VMThread.h"
#include "java_lang_ArrayIndexOutOfBoundsException.h"
#include "java_lang_ArrayStoreException.h"
#include "java_lang_ClassNotFoundException.h"
#include "java_lang_Error.h"
#include "java_lang_ExceptionInInitializerError.h"
#include "java_lang_IllegalAccessException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_IllegalMonitorStateException.h"
#include "java_lang_IndexOutOfBoundsException.h"
#include "java_lang_InstantiationException.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_NegativeArraySizeException.h"
#include "java_lang_NoClassDefFoundError.h"
#include "java_lang_NullPointerException.h"
#include "java_lang_OutOfMemoryError.h"
#include "java_lang_StringIndexOutOfBoundsException.h"

using namespace java::lang;

namespace {

// The runtime object that the innermost active handler of this thread caught,
// if any.
Object* handledNow() {
    std::exception_ptr handled = std::current_exception();
    if (handled == nullptr) return nullptr;
    try {
        std::rethrow_exception(handled);
    } catch (Object* object) {
        return object;
    } catch (...) {}
    return nullptr;
}

}  // namespace

// The thread's in-flight root holds the newest throwable. One thrown while
// another is handled (inside a catch) or unwound (from a destructor) links to
// that one, so the older stays reachable for as long as the newer is in
// flight: a handler that throws and catches another, then rethrows its own,
// never carries a collected object.
void _VM_setInFlight(Object* thrown) {
    VMThread* current = VMThread::current();
    if (current == nullptr) return;
    if (auto* throwable = dynamic_cast<Throwable*>(thrown)) {
        Object* during = handledNow();
        if (during == nullptr && std::uncaught_exceptions() > 0) during = current->inFlight.get();
        if (during != nullptr && during != thrown) throwable->_VM_thrownDuring = during;
    }
    current->inFlight = thrown;
}

void _VM_throwNullPointer() { _VM_throw(NullPointerException::create()->construct()); }
void _VM_throwOutOfMemoryError() { _VM_throw(OutOfMemoryError::create()->construct()); }
void _VM_throwIllegalArgumentException() { _VM_throw(IllegalArgumentException::create()->construct()); }
void _VM_throwIllegalMonitorStateException() { _VM_throw(IllegalMonitorStateException::create()->construct()); }
void _VM_throwClassNotFoundException() { _VM_throw(ClassNotFoundException::create()->construct()); }
void _VM_throwInstantiationException() { _VM_throw(InstantiationException::create()->construct()); }
void _VM_throwIllegalAccessException() { _VM_throw(IllegalAccessException::create()->construct()); }
void _VM_throwInterruptedException() { _VM_throw(InterruptedException::create()->construct()); }
void _VM_throwNegativeArraySizeException() { _VM_throw(NegativeArraySizeException::create()->construct()); }
void _VM_throwArrayStoreException() { _VM_throw(ArrayStoreException::create()->construct()); }
void _VM_throwIndexOutOfBoundsException() { _VM_throw(IndexOutOfBoundsException::create()->construct()); }

void _VM_throwArrayIndexOutOfBoundsException(jint index) {
    _VM_throw(ArrayIndexOutOfBoundsException::create()->construct(index));
}

void _VM_throwStringIndexOutOfBoundsException(jint index) {
    _VM_throw(StringIndexOutOfBoundsException::create()->construct(index));
}

void _VM_throwNoClassDefFoundError(Class* record) {
    if (record == nullptr) _VM_throw(NoClassDefFoundError::create()->construct());
    _VM_throw(NoClassDefFoundError::create()->construct(record->getName()));
}

void _VM_throwInitializerFailure(Throwable* thrown) {
    VMPtr<Throwable> keep(thrown);
    if (_VM_isInstance<Error>(thrown)) _VM_rethrow(thrown);
    _VM_throw(ExceptionInInitializerError::create()->construct(keep));
}

void _VM_rethrow(Throwable* thrown) {
    if (thrown == nullptr) _VM_throwNullPointer();
    thrown->_VM_throw();  // rooted again as the thread's throwable in flight
    std::terminate();     // not reached
}
