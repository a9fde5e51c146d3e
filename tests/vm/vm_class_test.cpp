// The class registry, class initialisation, the type tests and
// java.lang.Class.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "VM.h"
#include "VMArray.h"
#include "hal.h"
#include "java_lang_Error.h"
#include "java_lang_ExceptionInInitializerError.h"
#include "java_lang_Runnable.h"
#include "java_lang_RuntimeException.h"
#include "vm_test.h"

using java::lang::Class;
using java::lang::Object;
using java::lang::String;

// --- classes whose initialisation the tests watch -------------------------------
// Each is initialised by one test only, so the tests stay independent of their
// order.
namespace t2cls {

std::string initOrder;
int selfUserInits = 0;
jint selfUserSawState = -1;
int failingInits = 0;
int slowInits = 0;
bool slowSawWaiter = false;
jint requesterSawState = -1;
int requesterSawInits = -1;
int interfaceInits = 0;
int subInterfaceInits = 0;
int madeConstructed = 0;

// Initialisation order of a class and its super-class.
class Base : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Base, java::lang::Object)
    static void staticInit() { initOrder += "Base;"; }
};
class Derived : public Base {
    VM_DECLARE_CLASS(Derived, Base)
    static void staticInit() { initOrder += "Derived;"; }
};

// Its static initialiser creates an instance of its own class.
class SelfUser final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(SelfUser, java::lang::Object)
    static void staticInit() {
        ++selfUserInits;
        VMPtr<SelfUser> early = SelfUser::create();
        selfUserSawState = SelfUser::_VM_classRecord->initState;
    }
};

// Static initialisers that throw.
class Failing final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Failing, java::lang::Object)
    static void staticInit() {
        ++failingInits;
        _VM_throw(java::lang::RuntimeException::create()->construct(String::_VM_fromUTF8("bad static")));
    }
};
class FailingWithError final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(FailingWithError, java::lang::Object)
    static void staticInit() { _VM_throw(java::lang::Error::create()->construct()); }
};
class FailingParent : public virtual java::lang::Object {
    VM_DECLARE_CLASS(FailingParent, java::lang::Object)
    static void staticInit() { _VM_throw(java::lang::RuntimeException::create()->construct()); }
};
class ChildOfFailing final : public FailingParent {
    VM_DECLARE_CLASS(ChildOfFailing, FailingParent)
};

// Its static initialiser gives up the runtime lock until another thread
// waits for the initialisation to end (bounded).
class SlowInit final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(SlowInit, java::lang::Object)
    static bool someoneWaits() {
        HAL_Lock* lock = SlowInit::_VM_classRecord->_VM_inflated;
        return lock != nullptr && HAL_waiterCount(lock) > 0;
    }
    static void staticInit() {
        ++slowInits;
        for (int i = 0; i < 5000 && !someoneWaits(); ++i) VMThread::sleep(VMThread::current(), 1);
        slowSawWaiter = someoneWaits();
    }
};

// Asks for SlowInit's initialisation on a thread of its own.
class InitRequester final : public java::lang::Runnable {
    VM_DECLARE_CLASS(InitRequester, java::lang::Object)
    void run() override {
        _VM_ensureInitialized(SlowInit::_VM_classRecord);
        requesterSawState = SlowInit::_VM_classRecord->initState;
        requesterSawInits = slowInits;
    }
};

class WatchedInterface : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(WatchedInterface)
    static void staticInit() { ++interfaceInits; }
};
class WatchedSubInterface : public WatchedInterface {
    VM_DECLARE_INTERFACE(WatchedSubInterface)
    static void staticInit() { ++subInterfaceInits; }
};
class WatchedImplementer final : public WatchedInterface {
    VM_DECLARE_CLASS(WatchedImplementer, java::lang::Object)
};

// Class.newInstance; a class outside any package.
class Made final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Made, java::lang::Object)
    VMPtr<Made> construct() {
        ++madeConstructed;
        return this;
    }
};
class AbstractShape : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(AbstractShape, java::lang::Object)
};
class NoFactory final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(NoFactory, java::lang::Object)
};
class NullFactory final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(NullFactory, java::lang::Object)
};
VMPtr<java::lang::Object> nullFactory() { return VMPtr<java::lang::Object>(); }
class Unpackaged final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Unpackaged, java::lang::Object)
};

}  // namespace t2cls

// Interfaces for the interface search: StreamConnection extends both others,
// the first named as its super-class, the second on its interface list.
namespace t2io {

class InputConnection : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(InputConnection)
};
class OutputConnection : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(OutputConnection)
};
class StreamConnection : public InputConnection, public OutputConnection {
    VM_DECLARE_INTERFACE(StreamConnection)
};
class Socket : public StreamConnection {
    VM_DECLARE_CLASS(Socket, java::lang::Object)
};
class SecureSocket final : public Socket {
    VM_DECLARE_CLASS(SecureSocket, Socket)
};

}  // namespace t2io

#define T2_SOURCE .sourceName = "tests/vm/vm_class_test"

VM_REGISTER_CLASS(t2cls::Base, .name = "t2.cls.Base", T2_SOURCE, .staticInit = t2cls::Base::staticInit)
VM_REGISTER_CLASS(t2cls::Derived, .name = "t2.cls.Derived", T2_SOURCE, .staticInit = t2cls::Derived::staticInit)
VM_REGISTER_CLASS(t2cls::SelfUser, .name = "t2.cls.SelfUser", T2_SOURCE, .staticInit = t2cls::SelfUser::staticInit)
VM_REGISTER_CLASS(t2cls::Failing, .name = "t2.cls.Failing", T2_SOURCE, .staticInit = t2cls::Failing::staticInit)
VM_REGISTER_CLASS(t2cls::FailingWithError, .name = "t2.cls.FailingWithError", T2_SOURCE,
                  .staticInit = t2cls::FailingWithError::staticInit)
VM_REGISTER_CLASS(t2cls::FailingParent, .name = "t2.cls.FailingParent", T2_SOURCE,
                  .staticInit = t2cls::FailingParent::staticInit)
VM_REGISTER_CLASS(t2cls::ChildOfFailing, .name = "t2.cls.ChildOfFailing", T2_SOURCE)
VM_REGISTER_CLASS(t2cls::SlowInit, .name = "t2.cls.SlowInit", T2_SOURCE, .staticInit = t2cls::SlowInit::staticInit)
VM_REGISTER_CLASS(t2cls::InitRequester, .name = "t2.cls.InitRequester", T2_SOURCE, .interfaces = {"java.lang.Runnable"})
VM_REGISTER_CLASS(t2cls::WatchedInterface, .name = "t2.cls.WatchedInterface", T2_SOURCE,
                  .staticInit = t2cls::WatchedInterface::staticInit, .isInterface = true, .isAbstract = true)
VM_REGISTER_CLASS(t2cls::WatchedSubInterface, .name = "t2.cls.WatchedSubInterface",
                  .superName = "t2.cls.WatchedInterface", T2_SOURCE,
                  .staticInit = t2cls::WatchedSubInterface::staticInit, .isInterface = true, .isAbstract = true)
VM_REGISTER_CLASS(t2cls::WatchedImplementer, .name = "t2.cls.WatchedImplementer", T2_SOURCE,
                  .interfaces = {"t2.cls.WatchedInterface"})
VM_REGISTER_CLASS(t2cls::Made, .name = "t2.cls.Made", T2_SOURCE, .newInstance = _VM_newInstanceOf<t2cls::Made>)
VM_REGISTER_CLASS(t2cls::AbstractShape, .name = "t2.cls.AbstractShape", T2_SOURCE, .isAbstract = true)
VM_REGISTER_CLASS(t2cls::NoFactory, .name = "t2.cls.NoFactory", T2_SOURCE)
VM_REGISTER_CLASS(t2cls::NullFactory, .name = "t2.cls.NullFactory", T2_SOURCE, .newInstance = t2cls::nullFactory)
VM_REGISTER_CLASS(t2cls::Unpackaged, .name = "T2Unpackaged", T2_SOURCE)

VM_REGISTER_CLASS(t2io::InputConnection, .name = "t2.io.InputConnection", T2_SOURCE, .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
VM_REGISTER_CLASS(t2io::OutputConnection, .name = "t2.io.OutputConnection", T2_SOURCE, .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
VM_REGISTER_CLASS(t2io::StreamConnection, .name = "t2.io.StreamConnection", .superName = "t2.io.InputConnection",
                  T2_SOURCE, .staticInit = nullptr, .isInterface = true, .isAbstract = true,
                  .interfaces = {"t2.io.OutputConnection"})
VM_REGISTER_CLASS(t2io::Socket, .name = "t2.io.Socket", T2_SOURCE, .interfaces = {"t2.io.StreamConnection"})
VM_REGISTER_CLASS(t2io::SecureSocket, .name = "t2.io.SecureSocket", T2_SOURCE)

namespace {

VMClassRegistry* registry() { return _VM_classRegistry(); }

// A class whose super-class is not registered: only a record made by hand
// can have one, since a declaration always names a registered class.
Class* orphan() {
    static Class* record = [] {
        auto* made = new (_VM_alloc(sizeof(Class), 1)) Class();
        return _VM_defineClass(made, "t2.cls.Orphan", "t2.cls.NotRegistered", "tests/vm/vm_class_test", 0,
                               _VM_emptyStaticInit, nullptr, false, false, false, 0, 0, nullptr, true);
    }();
    return record;
}

bool assignable(Class* from, Class* to) { return _VM_isAssignable(registry(), from, to); }

VMPtr<String> str(const char* utf8) { return String::_VM_fromUTF8(utf8); }

std::string descriptor(Class* record, jint dimensions) {
    VMCString holder;
    _VM_appendTypeDescriptor(registry(), &holder, record, dimensions);
    std::string result = holder.c_str();
    _VM_cstrFree(&holder);
    return result;
}

void printFatal(const char* message) { std::fprintf(stderr, "fatal: %s\n", message); }

// --- registry --------------------------------------------------------------------

class VMClassRegistryTest : public VMTest {};

TEST_F(VMClassRegistryTest, ClassesAreRegisteredUnderTheirDottedNames) {
    EXPECT_EQ(registry()->map.bucketCount, 200u);
    EXPECT_EQ(_VM_objectClass(registry()), Object::_VM_classRecord);
    EXPECT_EQ(_VM_findClass("t2.cls.Derived"), t2cls::Derived::_VM_classRecord);
    EXPECT_EQ(_VM_findClass("t2.cls.Missing"), nullptr);

    Class* derived = t2cls::Derived::_VM_classRecord;
    EXPECT_STREQ(derived->superName.c_str(), "t2.cls.Base");
    EXPECT_EQ(derived->getClass(), Class::_VM_classRecord);
    EXPECT_EQ(derived->self.get(), derived);
    EXPECT_EQ(derived->self.scope, _VM_nativeScope());
    EXPECT_EQ(_VM_superClass(registry(), derived), t2cls::Base::_VM_classRecord);
    EXPECT_EQ(_VM_superClass(registry(), Object::_VM_classRecord), nullptr);
    EXPECT_EQ(_VM_superClass(registry(), orphan()), nullptr);
    EXPECT_EQ(t2cls::Unpackaged::_VM_classRecord->initState, java::lang::VM_CLASS_UNINITIALIZED);

    // The first extended interface is the super-class name, the others are
    // on the interface list.
    Class* stream = t2io::StreamConnection::_VM_classRecord;
    EXPECT_STREQ(stream->superName.c_str(), "t2.io.InputConnection");
    ASSERT_EQ(_VM_listCount(&stream->interfaces), 1);
    EXPECT_EQ(stream->interfaces.first->value, t2io::OutputConnection::_VM_classRecord);
    EXPECT_EQ(stream->initState, java::lang::VM_CLASS_INITIALIZED);  // nothing to run
    _VM_registerInterface(stream, nullptr);                          // ignored
    EXPECT_EQ(_VM_listCount(&stream->interfaces), 1);

    EXPECT_EQ(text(Object::_VM_classRecord->toString()), "class java.lang.Object");
    EXPECT_EQ(text(java::lang::Runnable::_VM_classRecord->toString()), "interface java.lang.Runnable");
    EXPECT_EQ(text(VMArray<jint, 2>::defineClass()->toString()), "class [[I");
}

TEST_F(VMClassRegistryTest, ForNameAndNewInstance) {
    EXPECT_EQ(Class::forName(str("t2.cls.Made")), t2cls::Made::_VM_classRecord);
    // The array class is defined before it is looked up: the two sides of a
    // comparison may be evaluated in either order.
    Class* ints = VMArray<jint, 1>::defineClass();
    EXPECT_EQ(Class::forName(str("[I")), ints);
    EXPECT_EQ(VM_THROWN_CLASS(Class::forName(str("Made"))), "java.lang.ClassNotFoundException");
    EXPECT_EQ(VM_THROWN_CLASS(Class::forName(str(""))), "java.lang.ClassNotFoundException");
    EXPECT_EQ(VM_THROWN_CLASS(Class::forName(VMPtr<String>())), "java.lang.NullPointerException");

    const int constructed = t2cls::madeConstructed;
    VMPtr<Object> made = t2cls::Made::_VM_classRecord->newInstance();
    EXPECT_EQ(made->getClass(), t2cls::Made::_VM_classRecord);
    EXPECT_EQ(t2cls::madeConstructed, constructed + 1);  // the constructor body ran

    auto thrownBy = [](Class* record) { return VM_THROWN_CLASS(record->newInstance()); };
    EXPECT_EQ(thrownBy(t2cls::AbstractShape::_VM_classRecord), "java.lang.InstantiationException");
    EXPECT_EQ(thrownBy(java::lang::Runnable::_VM_classRecord), "java.lang.InstantiationException");
    EXPECT_EQ(thrownBy(VMArray<Object, 1>::defineClass()), "java.lang.InstantiationException");
    EXPECT_EQ(thrownBy(t2cls::NoFactory::_VM_classRecord), "java.lang.IllegalAccessException");
    EXPECT_EQ(thrownBy(t2cls::NullFactory::_VM_classRecord), "java.lang.IllegalAccessException");
}

TEST_F(VMClassRegistryTest, ResourceNamesAndTypeDescriptors) {
    Class* object = Object::_VM_classRecord;
    EXPECT_EQ(text(object->_VM_resolveName(str("img/icon.png"))), "java/lang/img/icon.png");
    EXPECT_EQ(text(object->_VM_resolveName(str("/abs/icon.png"))), "abs/icon.png");
    EXPECT_EQ(text(t2cls::Derived::_VM_classRecord->_VM_resolveName(str("a.bin"))), "t2/cls/a.bin");
    EXPECT_EQ(text(t2cls::Unpackaged::_VM_classRecord->_VM_resolveName(str("a.bin"))), "a.bin");
    EXPECT_EQ(VM_THROWN_CLASS(object->_VM_resolveName(VMPtr<String>())), "java.lang.NullPointerException");

    Class* ints = VMArray<jint, 1>::defineClass();
    EXPECT_EQ(descriptor(object, 0), "Ljava.lang.Object;");
    EXPECT_EQ(descriptor(object, 2), "[[Ljava.lang.Object;");
    EXPECT_EQ(descriptor(ints, 0), "[I");
    EXPECT_EQ(descriptor(ints, 3), "[[[I");
}

class VMClassDeathTest : public VMTest {};

TEST_F(VMClassDeathTest, SecondJavaLangObjectIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            auto* record = new (_VM_alloc(sizeof(Class), 1)) Class();
            _VM_defineClass(record, "java.lang.Object", "", "tests/vm/vm_class_test", 0, nullptr, nullptr, false, false,
                            false, 0, 0, nullptr, true);
        },
        testing::ExitedWithCode(1), "Duplicate class detected!");
}

// --- initialisation ----------------------------------------------------------------

class VMClassInitTest : public VMTest {};

TEST_F(VMClassInitTest, RunsOnceOnFirstUseSuperClassFirst) {
    VM_ONCE_PER_PROCESS("a class initialises once");
    Class* derived = t2cls::Derived::_VM_classRecord;
    EXPECT_EQ(t2cls::Base::_VM_classRecord->initState, java::lang::VM_CLASS_UNINITIALIZED);
    EXPECT_EQ(derived->initState, java::lang::VM_CLASS_UNINITIALIZED);
    VMPtr<t2cls::Derived> first = t2cls::Derived::create();
    VMPtr<t2cls::Derived> second = t2cls::Derived::create();
    VMPtr<t2cls::Base> third = t2cls::Base::create();
    EXPECT_EQ(t2cls::initOrder, "Base;Derived;");
    EXPECT_EQ(derived->initState, java::lang::VM_CLASS_INITIALIZED);
    EXPECT_EQ(derived->initThread, nullptr);
    EXPECT_EQ(derived->_VM_count, 0);  // the record's monitor is free again

    // A request from inside the class's own initialiser returns at once.
    VMPtr<t2cls::SelfUser> user = t2cls::SelfUser::create();
    EXPECT_EQ(t2cls::selfUserInits, 1);
    EXPECT_EQ(t2cls::selfUserSawState, java::lang::VM_CLASS_INITIALIZING);
}

TEST_F(VMClassInitTest, FailedInitialiserWrapsOnceThenTheClassIsUnusable) {
    VM_ONCE_PER_PROCESS("a class initialises once");
    Class* failing = t2cls::Failing::_VM_classRecord;
    std::string firstClass, cause;
    try {
        t2cls::Failing::create();
    } catch (java::lang::Throwable* thrown) {
        firstClass = thrown->getClass()->name.c_str();
        if (auto* wrapper = dynamic_cast<java::lang::ExceptionInInitializerError*>(thrown))
            cause = text(wrapper->getException()->toString());
    }
    EXPECT_EQ(firstClass, "java.lang.ExceptionInInitializerError");
    EXPECT_EQ(cause, "java.lang.RuntimeException: bad static");
    EXPECT_EQ(failing->initState, java::lang::VM_CLASS_FAILED);
    EXPECT_EQ(failing->_VM_count, 0);
    EXPECT_EQ(VM_THROWN_CLASS(t2cls::Failing::create()), "java.lang.NoClassDefFoundError");
    EXPECT_EQ(VM_THROWN_CLASS(t2cls::Failing::create()), "java.lang.NoClassDefFoundError");
    EXPECT_EQ(t2cls::failingInits, 1);
    std::string message;  // asked directly, the record names itself
    try {
        _VM_initializeClass(registry(), failing);
    } catch (java::lang::Throwable* thrown) {
        message = text(thrown->getMessage());
    }
    EXPECT_EQ(message, "t2.cls.Failing");
}

TEST_F(VMClassInitTest, ErrorsPassUnwrappedAlsoFromASuperClass) {
    VM_ONCE_PER_PROCESS("a class initialises once");
    EXPECT_EQ(VM_THROWN_CLASS(t2cls::FailingWithError::create()), "java.lang.Error");
    EXPECT_EQ(VM_THROWN_CLASS(t2cls::FailingWithError::create()), "java.lang.NoClassDefFoundError");

    // The parent's wrapper is an Error: the child passes it on and fails too.
    EXPECT_EQ(VM_THROWN_CLASS(t2cls::ChildOfFailing::create()), "java.lang.ExceptionInInitializerError");
    EXPECT_EQ(t2cls::ChildOfFailing::_VM_classRecord->initState, java::lang::VM_CLASS_FAILED);
    EXPECT_EQ(t2cls::FailingParent::_VM_classRecord->initState, java::lang::VM_CLASS_FAILED);
    EXPECT_EQ(VM_THROWN_CLASS(t2cls::ChildOfFailing::create()), "java.lang.NoClassDefFoundError");
}

TEST_F(VMClassInitTest, InterfacesAreNotInitialisedThroughImplementersOrSubInterfaces) {
    VM_ONCE_PER_PROCESS("a class initialises once");
    VMPtr<t2cls::WatchedImplementer> implementer = t2cls::WatchedImplementer::create();
    _VM_ensureInitialized(t2cls::WatchedSubInterface::_VM_classRecord);
    EXPECT_EQ(t2cls::subInterfaceInits, 1);
    EXPECT_EQ(t2cls::interfaceInits, 0);
    _VM_ensureInitialized(t2cls::WatchedInterface::_VM_classRecord);
    EXPECT_EQ(t2cls::interfaceInits, 1);
}

TEST_F(VMClassInitTest, AnotherThreadWaitsUntilTheInitialisationHasEnded) {
    VMThread* me = VMThread::current();
    VMPtr<t2cls::InitRequester> requester = t2cls::InitRequester::create();
    auto* worker = new VMThread(requester.get());
    worker->start();
    VMPtr<t2cls::SlowInit> slow = t2cls::SlowInit::create();
    for (int i = 0; i < 10000 && !HAL_isThreadFinished(worker->platformThread); ++i) VMThread::sleep(me, 1);
    ASSERT_TRUE(HAL_isThreadFinished(worker->platformThread));
    EXPECT_TRUE(t2cls::slowSawWaiter);
    EXPECT_EQ(t2cls::slowInits, 1);
    EXPECT_EQ(t2cls::requesterSawState, java::lang::VM_CLASS_INITIALIZED);
    EXPECT_EQ(t2cls::requesterSawInits, 1);
    delete worker;
}

// --- type tests ----------------------------------------------------------------------

class VMAssignableTest : public VMTest {};

TEST_F(VMAssignableTest, ClassesFollowTheirSuperClassChain) {
    Class* object = Object::_VM_classRecord;
    Class* base = t2cls::Base::_VM_classRecord;
    Class* derived = t2cls::Derived::_VM_classRecord;
    EXPECT_TRUE(assignable(derived, base));
    EXPECT_TRUE(assignable(derived, object));
    EXPECT_FALSE(assignable(base, derived));
    EXPECT_FALSE(assignable(object, base));
    EXPECT_TRUE(assignable(orphan(), object));
    EXPECT_FALSE(assignable(orphan(), base));  // the chain breaks
    EXPECT_FALSE(assignable(nullptr, object));
    EXPECT_TRUE(base->isAssignableFrom(derived));
    EXPECT_EQ(VM_THROWN_CLASS(base->isAssignableFrom(nullptr)), "java.lang.NullPointerException");
}

TEST_F(VMAssignableTest, InterfaceSearchComparesOnlyListedInterfaces) {
    Class* input = t2io::InputConnection::_VM_classRecord;
    Class* output = t2io::OutputConnection::_VM_classRecord;
    Class* stream = t2io::StreamConnection::_VM_classRecord;
    Class* socket = t2io::Socket::_VM_classRecord;

    EXPECT_TRUE(assignable(stream, output));
    EXPECT_FALSE(assignable(stream, input));  // its super-class name, on no list
    EXPECT_TRUE(assignable(stream, Object::_VM_classRecord));
    EXPECT_FALSE(assignable(output, stream));
    EXPECT_FALSE(assignable(stream, socket));
    EXPECT_TRUE(assignable(socket, stream));
    EXPECT_TRUE(assignable(socket, output));
    EXPECT_FALSE(assignable(socket, input));
    EXPECT_TRUE(assignable(t2io::SecureSocket::_VM_classRecord, output));  // via its super-class
    EXPECT_FALSE(assignable(t2io::SecureSocket::_VM_classRecord, input));

    VMPtr<t2io::Socket> instance = t2io::Socket::create();
    EXPECT_TRUE(output->isInstance(instance));
    EXPECT_FALSE(input->isInstance(instance));
    EXPECT_FALSE(output->isInstance(VMPtr<Object>()));
}

TEST_F(VMAssignableTest, ArraysMatchByElementType) {
    Class* object = Object::_VM_classRecord;
    Class* ints = VMArray<jint, 1>::defineClass();
    Class* bytes = VMArray<jbyte, 1>::defineClass();
    Class* intGrid = VMArray<jint, 2>::defineClass();
    Class* objects = VMArray<Object, 1>::defineClass();
    Class* strings = VMArray<String, 1>::defineClass();
    Class* sockets = VMArray<t2io::Socket, 1>::defineClass();

    EXPECT_FALSE(assignable(ints, objects));
    EXPECT_FALSE(assignable(objects, ints));
    EXPECT_TRUE(assignable(intGrid, objects));
    EXPECT_FALSE(assignable(intGrid, ints));
    EXPECT_FALSE(assignable(bytes, ints));
    for (Class* array : {ints, bytes, intGrid, objects, strings, sockets})
        EXPECT_TRUE(assignable(array, object)) << array->name.c_str();
    EXPECT_TRUE(assignable(strings, objects));
    EXPECT_FALSE(assignable(objects, strings));
    EXPECT_TRUE(assignable(sockets, VMArray<t2io::OutputConnection, 1>::defineClass()));
    EXPECT_FALSE(assignable(sockets, VMArray<t2io::InputConnection, 1>::defineClass()));
    EXPECT_FALSE(assignable(ints, t2io::OutputConnection::_VM_classRecord));
    EXPECT_FALSE(assignable(objects, t2cls::Base::_VM_classRecord));
}

}  // namespace
