// Throwables: the class table, the throw-and-catch convention, messages and
// text forms, printStackTrace, the in-flight root, and synchronized blocks.
#include <string>

#include "VMException.h"
#include "VMThrow.h"
#include "java_io_EOFException.h"
#include "java_io_IOException.h"
#include "java_io_UTFDataFormatException.h"
#include "java_io_UnsupportedEncodingException.h"
#include "java_lang_ArrayIndexOutOfBoundsException.h"
#include "java_lang_ArrayStoreException.h"
#include "java_lang_ClassCastException.h"
#include "java_lang_ClassNotFoundException.h"
#include "java_lang_Error.h"
#include "java_lang_Exception.h"
#include "java_lang_ExceptionInInitializerError.h"
#include "java_lang_IllegalAccessException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_IllegalMonitorStateException.h"
#include "java_lang_IllegalStateException.h"
#include "java_lang_IllegalThreadStateException.h"
#include "java_lang_IndexOutOfBoundsException.h"
#include "java_lang_InstantiationException.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_NegativeArraySizeException.h"
#include "java_lang_NoClassDefFoundError.h"
#include "java_lang_NullPointerException.h"
#include "java_lang_NumberFormatException.h"
#include "java_lang_OutOfMemoryError.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_SecurityException.h"
#include "java_lang_StringIndexOutOfBoundsException.h"
#include "java_lang_Throwable.h"
#include "java_lang_VirtualMachineError.h"
#include "java_util_NoSuchElementException.h"
#include "vm_test.h"

using namespace java::lang;

namespace {

class ThrowableFamilyTest : public VMTest {};

// Throws the object and reports whether a handler for H* received it.
template <class H, class T>
bool caughtAs(const VMPtr<T>& thrown) {
    try {
        _VM_throw(thrown);
    } catch (H* handled) {
        return static_cast<Object*>(handled) == static_cast<Object*>(thrown.get());
    } catch (...) {
        return false;
    }
}

// Everything a class of the table promises: registration, super-class,
// handlers along the chain, the plain text form and the instance factory.
template <class T, class Super>
void checkThrowableClass(const char* name, const char* superName) {
    SCOPED_TRACE(name);
    Class* record = T::_VM_getClass();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(_VM_findClass(name), record);
    EXPECT_STREQ(record->name.c_str(), name);
    EXPECT_FALSE(record->isInterface());
    EXPECT_FALSE(record->isArray());

    Class* super = _VM_superClass(_VM_classRegistry(), record);
    ASSERT_NE(super, nullptr);
    EXPECT_STREQ(super->name.c_str(), superName);
    EXPECT_EQ(super, Super::_VM_getClass());
    // The chain ends at Throwable, whose super-class is Object.
    Class* c = record;
    int steps = 0;
    while (c != Throwable::_VM_getClass() && c != nullptr && steps < 10) {
        c = _VM_superClass(_VM_classRegistry(), c);
        ++steps;
    }
    ASSERT_EQ(c, Throwable::_VM_getClass());
    EXPECT_EQ(_VM_superClass(_VM_classRegistry(), c), Object::_VM_getClass());

    VMPtr<T> made = T::create();
    made->construct();
    EXPECT_EQ(made->getClass(), record);
    EXPECT_EQ(made->getMessage(), nullptr);
    EXPECT_EQ(text(made->toString()), name);
    EXPECT_TRUE(_VM_isInstance<Super>(made.get()));

    EXPECT_TRUE(caughtAs<T>(made));
    EXPECT_TRUE(caughtAs<Super>(made));
    EXPECT_TRUE(caughtAs<Throwable>(made));
    EXPECT_TRUE(caughtAs<VMException>(made));
    EXPECT_TRUE(caughtAs<Object>(made));
    // Rethrown through a plain Throwable pointer it is still its own class.
    try {
        _VM_rethrow(made.get());
    } catch (T* handled) {
        EXPECT_EQ(handled, made.get());
    } catch (...) {
        ADD_FAILURE() << "rethrow lost the most-derived class";
    }

    VMPtr<Object> fromFactory = record->newInstance();
    ASSERT_NE(fromFactory, nullptr);
    EXPECT_EQ(fromFactory->getClass(), record);
}

TEST_F(ThrowableFamilyTest, EveryClassOfTheTableIsRegisteredAndCaughtAlongItsChain) {
    checkThrowableClass<Throwable, Object>("java.lang.Throwable", "java.lang.Object");
    checkThrowableClass<Exception, Throwable>("java.lang.Exception", "java.lang.Throwable");
    checkThrowableClass<RuntimeException, Exception>("java.lang.RuntimeException", "java.lang.Exception");
    checkThrowableClass<Error, Throwable>("java.lang.Error", "java.lang.Throwable");
    checkThrowableClass<VirtualMachineError, Error>("java.lang.VirtualMachineError", "java.lang.Error");
    checkThrowableClass<OutOfMemoryError, VirtualMachineError>("java.lang.OutOfMemoryError",
                                                               "java.lang.VirtualMachineError");
    checkThrowableClass<ExceptionInInitializerError, Error>("java.lang.ExceptionInInitializerError", "java.lang.Error");
    checkThrowableClass<NoClassDefFoundError, Error>("java.lang.NoClassDefFoundError", "java.lang.Error");
    checkThrowableClass<ClassNotFoundException, Exception>("java.lang.ClassNotFoundException", "java.lang.Exception");
    checkThrowableClass<InstantiationException, Exception>("java.lang.InstantiationException", "java.lang.Exception");
    checkThrowableClass<IllegalAccessException, Exception>("java.lang.IllegalAccessException", "java.lang.Exception");
    checkThrowableClass<InterruptedException, Exception>("java.lang.InterruptedException", "java.lang.Exception");
    checkThrowableClass<java::io::IOException, Exception>("java.io.IOException", "java.lang.Exception");
    checkThrowableClass<java::io::EOFException, java::io::IOException>("java.io.EOFException", "java.io.IOException");
    checkThrowableClass<java::io::UTFDataFormatException, java::io::IOException>("java.io.UTFDataFormatException",
                                                                                 "java.io.IOException");
    checkThrowableClass<java::io::UnsupportedEncodingException, java::io::IOException>(
        "java.io.UnsupportedEncodingException", "java.io.IOException");
    checkThrowableClass<IllegalArgumentException, RuntimeException>("java.lang.IllegalArgumentException",
                                                                    "java.lang.RuntimeException");
    checkThrowableClass<NumberFormatException, IllegalArgumentException>("java.lang.NumberFormatException",
                                                                         "java.lang.IllegalArgumentException");
    checkThrowableClass<IllegalThreadStateException, IllegalArgumentException>("java.lang.IllegalThreadStateException",
                                                                               "java.lang.IllegalArgumentException");
    checkThrowableClass<IllegalMonitorStateException, RuntimeException>("java.lang.IllegalMonitorStateException",
                                                                        "java.lang.RuntimeException");
    checkThrowableClass<IllegalStateException, RuntimeException>("java.lang.IllegalStateException",
                                                                 "java.lang.RuntimeException");
    checkThrowableClass<NullPointerException, RuntimeException>("java.lang.NullPointerException",
                                                                "java.lang.RuntimeException");
    checkThrowableClass<ClassCastException, RuntimeException>("java.lang.ClassCastException",
                                                              "java.lang.RuntimeException");
    checkThrowableClass<NegativeArraySizeException, RuntimeException>("java.lang.NegativeArraySizeException",
                                                                      "java.lang.RuntimeException");
    checkThrowableClass<ArrayStoreException, RuntimeException>("java.lang.ArrayStoreException",
                                                               "java.lang.RuntimeException");
    checkThrowableClass<IndexOutOfBoundsException, RuntimeException>("java.lang.IndexOutOfBoundsException",
                                                                     "java.lang.RuntimeException");
    checkThrowableClass<ArrayIndexOutOfBoundsException, IndexOutOfBoundsException>(
        "java.lang.ArrayIndexOutOfBoundsException", "java.lang.IndexOutOfBoundsException");
    checkThrowableClass<StringIndexOutOfBoundsException, IndexOutOfBoundsException>(
        "java.lang.StringIndexOutOfBoundsException", "java.lang.IndexOutOfBoundsException");
    checkThrowableClass<SecurityException, RuntimeException>("java.lang.SecurityException",
                                                             "java.lang.RuntimeException");
    checkThrowableClass<java::util::NoSuchElementException, RuntimeException>("java.util.NoSuchElementException",
                                                                              "java.lang.RuntimeException");
}

TEST_F(ThrowableFamilyTest, HandlersOutsideTheChainDoNotCatch) {
    VMPtr<java::io::EOFException> eof = java::io::EOFException::create();
    eof->construct();
    EXPECT_FALSE(caughtAs<RuntimeException>(eof));
    EXPECT_FALSE(caughtAs<Error>(eof));
    EXPECT_TRUE(caughtAs<Exception>(eof));

    VMPtr<OutOfMemoryError> oom = OutOfMemoryError::create();
    oom->construct();
    EXPECT_FALSE(caughtAs<Exception>(oom));
    EXPECT_TRUE(caughtAs<Error>(oom));

    VMPtr<NumberFormatException> nfe = NumberFormatException::create();
    nfe->construct();
    EXPECT_TRUE(caughtAs<RuntimeException>(nfe));
    EXPECT_FALSE(caughtAs<IndexOutOfBoundsException>(nfe));
}

TEST_F(ThrowableFamilyTest, MessagesAndTextForms) {
    VMPtr<Exception> plain = Exception::create();
    plain->construct();
    EXPECT_EQ(text(plain->toString()), "java.lang.Exception");

    VMPtr<Exception> withX = Exception::create();
    withX->construct(String::_VM_fromUTF8("x"));
    EXPECT_EQ(text(withX->getMessage()), "x");
    EXPECT_EQ(text(withX->toString()), "java.lang.Exception: x");

    // A null message behaves as no message at all.
    VMPtr<IllegalStateException> nullMessage = IllegalStateException::create();
    nullMessage->construct(VMPtr<String>());
    EXPECT_EQ(nullMessage->getMessage(), nullptr);
    EXPECT_EQ(text(nullMessage->toString()), "java.lang.IllegalStateException");

    // An empty message is still a message.
    VMPtr<java::io::IOException> empty = java::io::IOException::create();
    empty->construct(String::_VM_fromUTF8(""));
    EXPECT_EQ(text(empty->toString()), "java.io.IOException: ");

    // Every (String) constructor keeps the message.
    VMPtr<String> m = String::_VM_fromUTF8("why");
    EXPECT_EQ(text(RuntimeException::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(Error::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(NoClassDefFoundError::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(InstantiationException::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(java::io::UnsupportedEncodingException::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(NumberFormatException::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(NullPointerException::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(IndexOutOfBoundsException::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(SecurityException::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(java::util::NoSuchElementException::create()->construct(m)->getMessage()), "why");
    EXPECT_EQ(text(StringIndexOutOfBoundsException::create()->construct(m)->toString()),
              "java.lang.StringIndexOutOfBoundsException: why");
}

TEST_F(ThrowableFamilyTest, IndexConstructorsBuildTheirMessage) {
    EXPECT_EQ(text(ArrayIndexOutOfBoundsException::create()->construct(5)->getMessage()),
              "Array index out of range: 5");
    EXPECT_EQ(text(ArrayIndexOutOfBoundsException::create()->construct(-1)->getMessage()),
              "Array index out of range: -1");
    EXPECT_EQ(text(ArrayIndexOutOfBoundsException::create()->construct(jint(INT32_MIN))->getMessage()),
              "Array index out of range: -2147483648");
    EXPECT_EQ(text(StringIndexOutOfBoundsException::create()->construct(0)->toString()),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: 0");
    EXPECT_EQ(text(StringIndexOutOfBoundsException::create()->construct(jint(INT32_MAX))->getMessage()),
              "String index out of range: 2147483647");
}

TEST_F(ThrowableFamilyTest, InitializerErrorKeepsItsCauseAndWrapsOnlyNonErrors) {
    VMPtr<NumberFormatException> cause = NumberFormatException::create();
    cause->construct(String::_VM_fromUTF8("bad"));
    VMPtr<ExceptionInInitializerError> wrapped = ExceptionInInitializerError::create();
    wrapped->construct(cause);
    EXPECT_EQ(wrapped->getException().get(), static_cast<Throwable*>(cause.get()));
    EXPECT_EQ(wrapped->getMessage(), nullptr);
    EXPECT_EQ(text(wrapped->toString()), "java.lang.ExceptionInInitializerError");

    VMPtr<ExceptionInInitializerError> bare = ExceptionInInitializerError::create();
    bare->construct();
    EXPECT_EQ(bare->getException(), nullptr);

    // A failed initialiser: an exception is wrapped, an Error passes unchanged.
    try {
        _VM_throwInitializerFailure(cause.get());
    } catch (ExceptionInInitializerError* e) {
        EXPECT_EQ(e->getException().get(), static_cast<Throwable*>(cause.get()));
    } catch (...) {
        ADD_FAILURE() << "exception was not wrapped";
    }
    VMPtr<OutOfMemoryError> error = OutOfMemoryError::create();
    error->construct();
    try {
        _VM_throwInitializerFailure(error.get());
    } catch (OutOfMemoryError* e) {
        EXPECT_EQ(e, error.get());
    } catch (...) {
        ADD_FAILURE() << "error was not rethrown unchanged";
    }
}

TEST_F(ThrowableFamilyTest, TheCauseOfAnInitializerErrorSurvivesCollection) {
    VMPtr<ExceptionInInitializerError> wrapped = ExceptionInInitializerError::create();
    VMWeak<Throwable> cause;
    {
        VMPtr<IllegalStateException> made = IllegalStateException::create();
        made->construct(String::_VM_fromUTF8("kept"));
        wrapped->construct(made);
        cause = made;
    }
    _VM_collect(_VM_runtime);
    ASSERT_NE(cause, nullptr);
    EXPECT_EQ(text(wrapped->getException()->getMessage()), "kept");
}

TEST_F(ThrowableFamilyTest, RuntimeThrowHelpersThrowTheirOwnClass) {
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwIllegalArgumentException()), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwIllegalMonitorStateException()), "java.lang.IllegalMonitorStateException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwClassNotFoundException()), "java.lang.ClassNotFoundException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwInstantiationException()), "java.lang.InstantiationException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwIllegalAccessException()), "java.lang.IllegalAccessException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwInterruptedException()), "java.lang.InterruptedException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwNegativeArraySizeException()), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwArrayStoreException()), "java.lang.ArrayStoreException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwIndexOutOfBoundsException()), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwNullPointer()), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throwNoClassDefFoundError(nullptr)), "java.lang.NoClassDefFoundError");

    try {
        _VM_throwNoClassDefFoundError(String::_VM_getClass());
    } catch (NoClassDefFoundError* e) {
        EXPECT_EQ(text(e->getMessage()), "java.lang.String");
    }
    try {
        _VM_throwStringIndexOutOfBoundsException(7);
    } catch (IndexOutOfBoundsException* e) {
        EXPECT_EQ(text(e->toString()), "java.lang.StringIndexOutOfBoundsException: String index out of range: 7");
    }
    // Thrown messages-free where the table says so.
    try {
        _VM_throwNullPointer();
    } catch (RuntimeException* e) {
        EXPECT_EQ(e->getMessage(), nullptr);
    }
}

TEST_F(ThrowableFamilyTest, NullReferencesThrowNullPointerException) {
    VMPtr<String> none;
    EXPECT_EQ(VM_THROWN_CLASS(none->length()), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS((void)*none), "java.lang.NullPointerException");
    VMPtr<Throwable> noThrowable;
    // Throwing a null reference is itself a NullPointerException.
    EXPECT_EQ(VM_THROWN_CLASS(_VM_throw(noThrowable)), "java.lang.NullPointerException");
}

// The in-flight throwable stays reachable after its handler dropped every
// reference, until the thread throws again.
TEST_F(ThrowableFamilyTest, TheInFlightThrowableIsRootedUntilTheNextThrow) {
    VMThread* self = VMThread::current();
    ASSERT_NE(self, nullptr);
    VMWeak<Throwable> first;
    try {
        _VM_throw(IllegalStateException::create()->construct(String::_VM_fromUTF8("first")));
    } catch (IllegalStateException* e) {
        first = e;
    }
    EXPECT_EQ(self->inFlight.target, static_cast<Object*>(first.get()));
    _VM_collect(_VM_runtime);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(text(first->getMessage()), "first");

    Throwable* second = nullptr;
    try {
        _VM_throwArrayStoreException();
    } catch (Throwable* e) {
        second = e;
    }
    EXPECT_EQ(self->inFlight.target, static_cast<Object*>(second));
    _VM_collect(_VM_runtime);
    EXPECT_EQ(first, nullptr);
}

// Runs printStackTrace with standard output captured.
std::string stackTraceOf(Throwable* thrown) {
    testing::internal::CaptureStdout();
    thrown->printStackTrace();
    return testing::internal::GetCapturedStdout();
}

TEST_F(ThrowableFamilyTest, PrintStackTraceWritesExactlyTwoLines) {
    VMPtr<NullPointerException> npe = NullPointerException::create();
    npe->construct();
    // The test thread is the main thread, whose Thread object is "System".
    EXPECT_EQ(stackTraceOf(npe.get()),
              "Exception in thread \"System\" java.lang.NullPointerException\n    at <unknown>\n");

    VMPtr<java::io::IOException> io = java::io::IOException::create();
    io->construct(String::_VM_fromUTF8("disk gone"));
    EXPECT_EQ(stackTraceOf(io.get()),
              "Exception in thread \"System\" java.io.IOException: disk gone\n    at <unknown>\n");
}

VMPtr<String> fixedThreadName(VMThread*) { return String::_VM_fromUTF8("worker-1"); }

TEST_F(ThrowableFamilyTest, PrintStackTraceNamesTheThreadWhenItHasAName) {
    VMPtr<NullPointerException> npe = NullPointerException::create();
    npe->construct();
    VMThreadNameFunction saved = _VM_threadNameFunction;
    _VM_threadNameFunction = fixedThreadName;
    std::string out = stackTraceOf(npe.get());
    _VM_threadNameFunction = saved;
    EXPECT_EQ(out, "Exception in thread \"worker-1\" java.lang.NullPointerException\n    at <unknown>\n");
}

TEST_F(ThrowableFamilyTest, PrintStackTraceWithoutACurrentThread) {
    VMPtr<Error> error = Error::create();
    error->construct(String::_VM_fromUTF8("late"));
    VMThread* saved = _VM_runtime->currentThread;
    _VM_runtime->currentThread = nullptr;
    std::string out = stackTraceOf(error.get());
    _VM_runtime->currentThread = saved;
    EXPECT_EQ(out, "Exception java.lang.Error: late\n    at <unknown>\n");
}

// --- synchronized blocks -------------------------------------------------------

class SynchronizedBlockTest : public VMTest {};

TEST_F(SynchronizedBlockTest, HoldsTheMonitorAndReleasesItOnEveryPath) {
    VMPtr<Object> lock = Object::create();
    VMThread* self = VMThread::current();
    {
        VMSynchronized outer(lock);
        EXPECT_EQ(lock->_VM_owner, self);
        EXPECT_EQ(lock->_VM_count, 1);
        {
            VMSynchronized inner(lock.get());
            EXPECT_EQ(lock->_VM_count, 2);
        }
        EXPECT_EQ(lock->_VM_count, 1);
        EXPECT_EQ(lock->_VM_owner, self);
    }
    EXPECT_EQ(lock->_VM_count, 0);
    EXPECT_EQ(lock->_VM_owner, nullptr);

    // The exception path: the block throws from two levels deep.
    std::string thrown = VM_THROWN_CLASS({
        VMSynchronized outer(lock);
        VMSynchronized inner(lock);
        _VM_throwIllegalArgumentException();
    });
    EXPECT_EQ(thrown, "java.lang.IllegalArgumentException");
    EXPECT_EQ(lock->_VM_count, 0);
    EXPECT_EQ(lock->_VM_owner, nullptr);
    // An uncontended monitor stays thin.
    EXPECT_EQ(lock->_VM_inflated, nullptr);
}

TEST_F(SynchronizedBlockTest, AnInflatedMonitorIsReleasedOnTheExceptionPath) {
    VMPtr<Object> lock = Object::create();
    {
        VMSynchronized hold(lock);
        lock->wait(1);  // inflates
    }
    ASSERT_NE(lock->_VM_inflated, nullptr);
    std::string thrown = VM_THROWN_CLASS({
        VMSynchronized hold(lock);
        EXPECT_EQ(lock->_VM_count, 1);
        _VM_throwIndexOutOfBoundsException();
    });
    EXPECT_EQ(thrown, "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(lock->_VM_count, 0);
    EXPECT_EQ(lock->_VM_owner, nullptr);
    // Taken again at once: the platform lock was left as well.
    VMSynchronized again(lock);
    EXPECT_EQ(lock->_VM_count, 1);
}

TEST_F(SynchronizedBlockTest, ANullMonitorThrowsNullPointerException) {
    VMPtr<Object> none;
    EXPECT_EQ(VM_THROWN_CLASS(VMSynchronized s(none)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(VMSynchronized s(static_cast<Object*>(nullptr))), "java.lang.NullPointerException");
}

}  // namespace

// A handler that throws and catches another throwable, then rethrows its
// own: the first is never collected while in flight, however often the
// collector runs in between, and however deep the nesting.
TEST_F(ThrowableFamilyTest, ARethrownThrowableSurvivesNestedThrowsAndCollections) {
    VMWeak<Object> outer;
    std::string seen;
    try {
        try {
            _VM_throw(RuntimeException::create()->construct(VM_STR("outer")));
        } catch (RuntimeException* e) {  // deliberately held by no reference
            outer = e;
            try {
                _VM_throw(IllegalStateException::create()->construct(VM_STR("nested")));
            } catch (IllegalStateException*) {
                try {
                    _VM_throw(IllegalArgumentException::create()->construct(VM_STR("deeper")));
                } catch (IllegalArgumentException*) {}
                _VM_collect(_VM_runtime);
            }
            for (int i = 0; i < 1000; ++i) Object::create();  // garbage, and collections under stress
            _VM_collect(_VM_runtime);
            EXPECT_FALSE(outer.isNull());
            throw;
        }
    } catch (RuntimeException* e) {
        VMPtr<RuntimeException> keep(e);
        _VM_collect(_VM_runtime);
        seen = text(keep->getMessage());
    }
    EXPECT_EQ(seen, "outer");
}
