// java.lang.Runtime: the one instance, the memory figures, gc, and the exit
// request that is refused unless allowed.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "VM.h"
#include "VMExitException.h"
#include "hal.h"
#include "java_lang_Runtime.h"
#include "java_lang_SecurityException.h"
#include "java_lang_Thread.h"
#include "vm_test.h"

using namespace java::lang;

namespace {

// Leaves exit refused and no exit requested, whatever a test did.
class RuntimeTest : public VMTest {
protected:
    void TearDown() override {
        Runtime::getRuntime()->setExitAllowed(false);
        _VM_runtime->exitRequested = false;
    }
};

TEST_F(RuntimeTest, ExitIsRefusedUnlessAllowed) {
    VMPtr<Runtime> runtime = Runtime::getRuntime();
    try {
        runtime->exit(0);
        ADD_FAILURE() << "exit returned";
    } catch (SecurityException* e) {
        EXPECT_EQ(text(e->getMessage()), "MIDP lifecycle does not support system exit.");
    }
    EXPECT_FALSE(_VM_runtime->exitRequested);

    // Allowed: the exit request, carrying the status, is thrown; it is no
    // Throwable.
    runtime->setExitAllowed(true);
    jint status = -1;
    std::string caughtAsThrowable;
    try {
        runtime->exit(3);
    } catch (VMExitException* request) {
        status = request->status;
    } catch (Throwable* thrown) {
        caughtAsThrowable = thrown->getClass()->name.c_str();
    }
    EXPECT_EQ(status, 3);
    EXPECT_EQ(caughtAsThrowable, "");

    runtime->setExitAllowed(false);
    EXPECT_EQ(VM_THROWN_CLASS(runtime->exit(1)), "java.lang.SecurityException");
}

TEST_F(RuntimeTest, AnAllowedExitEndsTheCallingThreadAndRequestsExit) {
    Runtime::getRuntime()->setExitAllowed(true);
    bool after = false;
    VMPtr<vmtest::Task> body = vmtest::Task::create();
    body->body = [&after] {
        Runtime::getRuntime()->exit(7);
        after = true;
    };
    VMPtr<Thread> t = Thread::create()->construct(VMPtr<Runnable>(body));
    testing::internal::CaptureStdout();
    t->start();
    t->join();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // nothing printed
    EXPECT_FALSE(after);
    EXPECT_TRUE(_VM_runtime->exitRequested);
    EXPECT_FALSE(t->isAlive());
}

TEST_F(RuntimeTest, MemoryFigures) {
    VMPtr<Runtime> runtime = Runtime::getRuntime();
    EXPECT_EQ(runtime->totalMemory(), jlong(_VM_heap.maximum));

    _VM_collect(_VM_runtime);
    const jlong before = runtime->freeMemory();
    EXPECT_EQ(uint64_t(before), _VM_freeMemory());
    EXPECT_LT(before, runtime->totalMemory());
    VMPtr<VMArray<jbyte, 1>> block = VMArray<jbyte, 1>::create(1 << 20);
    const jlong during = runtime->freeMemory();
    EXPECT_LE(during, before - (1 << 20));
    block = nullptr;
    runtime->gc();
    EXPECT_GE(runtime->freeMemory(), during + (1 << 20));
    EXPECT_EQ(runtime->totalMemory(), jlong(_VM_heap.maximum));
}

TEST_F(RuntimeTest, OneInstanceWhoseGcRunsOneCollection) {
    Runtime* first = Runtime::getRuntime().get();
    VMWeak<Object> watch;
    watch = Object::create();
    const uint32_t count = _VM_runtime->collectionCount;
    Runtime::getRuntime()->gc();
    EXPECT_TRUE(watch.isNull());
    if (!vmStressMode()) {
        EXPECT_EQ(_VM_runtime->collectionCount, count + 1);
    }
    EXPECT_EQ(Runtime::getRuntime().get(), first);
}

}  // namespace
