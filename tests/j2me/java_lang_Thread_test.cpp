// java.lang.Thread: names, priorities, start, run, join, sleep, interrupt,
// the main thread's "System" object, and the reclamation of thread records
// once their Thread objects are collected.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "VM.h"
#include "hal.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_Thread.h"
#include "vm_test.h"

namespace threadtest {

// A Thread subclass with a run() of its own.
class Counting : public java::lang::Thread {
    VM_DECLARE_CLASS(Counting, java::lang::Thread)

public:
    jint runs = 0;
    VMPtr<Counting> construct() {
        Super::construct();
        return this;
    }
    void run() override { ++runs; }
};

}  // namespace threadtest

VM_REGISTER_CLASS(threadtest::Counting, .name = "threadtest.Counting")

using namespace java::lang;
using threadtest::Counting;
using vmtest::Task;

namespace {

VMPtr<Task> task(std::function<void()> body) {
    VMPtr<Task> t = Task::create();
    t->body = std::move(body);
    return t;
}

VMPtr<Thread> threadRunning(std::function<void()> body) {
    return Thread::create()->construct(VMPtr<Runnable>(task(std::move(body))));
}

std::string str(const VMPtr<String>& s) { return text(s); }

// The number in a "Thread-<n>" name; -1 for any other name.
int numberOf(const VMPtr<Thread>& t) {
    std::string name = str(t->getName());
    if (name.rfind("Thread-", 0) != 0) return -1;
    return std::stoi(name.substr(7));
}

bool listed(const VMThread* record) {
    for (VMListNode* n = _VM_runtime->threads.first; n != nullptr; n = n->next)
        if (n->value == record) return true;
    return false;
}

class ThreadTest : public VMTest {};

TEST_F(ThreadTest, TheMainThreadIsSystemWithPriorityFive) {
    VMPtr<Thread> main = Thread::currentThread();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main.get(), _VM_runtime->systemThread.get());
    EXPECT_EQ(main->runtimeThread, _VM_runtime->mainThread);
    EXPECT_EQ(str(main->getName()), "System");
    EXPECT_EQ(main->getPriority(), 5);
    EXPECT_EQ(str(main->toString()), "Thread[System,5]");
    EXPECT_TRUE(main->isAlive());
    // Already running: it cannot be started.
    EXPECT_EQ(VM_THROWN_CLASS(main->start()), "java.lang.IllegalThreadStateException");
}

TEST_F(ThreadTest, UnnamedThreadsAreNumberedInOrderWhateverClassMakesThem) {
    VMPtr<Thread> a = Thread::create()->construct();
    VMPtr<Thread> named = Thread::create()->construct(VM_STR("worker"));
    VMPtr<Thread> b = Thread::create()->construct(VMPtr<Runnable>(task(nullptr)));
    VMPtr<Counting> c = Counting::create()->construct();
    const int first = numberOf(a);
    ASSERT_GT(first, 0);
    EXPECT_EQ(numberOf(b), first + 1);  // the named thread did not count
    EXPECT_EQ(numberOf(VMPtr<Thread>(c)), first + 2);
    EXPECT_EQ(str(named->getName()), "worker");
    EXPECT_EQ(str(a->toString()), "Thread[Thread-" + std::to_string(first) + ",5]");

    // A subclass's own run() runs; a Thread without target runs nothing.
    c->start();
    c->join();
    EXPECT_EQ(c->runs, 1);
    a->start();
    a->join();
    EXPECT_FALSE(a->isAlive());
}

TEST_F(ThreadTest, PrioritiesAreCheckedAndInherited) {
    VMPtr<Thread> t = Thread::create()->construct();
    EXPECT_EQ(t->getPriority(), Thread::NORM_PRIORITY);
    EXPECT_EQ(VM_THROWN_CLASS(t->setPriority(0)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(t->setPriority(11)), "java.lang.IllegalArgumentException");
    t->setPriority(Thread::MIN_PRIORITY);
    t->setPriority(Thread::MAX_PRIORITY);
    EXPECT_EQ(t->getPriority(), 10);

    // A thread made on another thread takes that thread's priority.
    jint inherited = 0;
    VMPtr<Thread> parent = threadRunning([&] {
        VMPtr<Thread> child = Thread::create()->construct();
        inherited = child->getPriority();
    });
    parent->setPriority(8);
    parent->start();
    parent->join();
    EXPECT_EQ(inherited, 8);
}

TEST_F(ThreadTest, RunsItsTargetOnItsOwnRuntimeThreadAndJoinWaitsForTheEnd) {
    VMThread* mainRecord = VMThread::current();
    VMThread* ranOn = nullptr;
    Thread* currentInside = nullptr;
    bool aliveInside = false;
    const int activeBefore = VMThread::activeCount();
    int activeInside = 0;
    VMPtr<Thread> t = threadRunning([&] {
        ranOn = VMThread::current();
        VMPtr<Thread> self = Thread::currentThread();
        currentInside = self.get();
        aliveInside = self->isAlive();
        activeInside = VMThread::activeCount();
        Thread::sleep(5);
    });
    EXPECT_FALSE(t->isAlive());
    t->join();  // not started: returns at once
    t->start();
    EXPECT_TRUE(t->isAlive());
    t->join();
    EXPECT_FALSE(t->isAlive());
    EXPECT_EQ(ranOn, t->runtimeThread);
    EXPECT_NE(ranOn, mainRecord);
    EXPECT_EQ(currentInside, t.get());
    EXPECT_TRUE(aliveInside);
    EXPECT_EQ(activeInside, activeBefore + 1);
    EXPECT_EQ(VMThread::current(), mainRecord);

    // Started once, for good: also after it has ended.
    EXPECT_EQ(VM_THROWN_CLASS(t->start()), "java.lang.IllegalThreadStateException");
}

TEST_F(ThreadTest, AnInterruptWakesALongSleepAtOnce) {
    std::string outcome;
    VMPtr<Thread> sleeper = threadRunning([&] {
        try {
            Thread::sleep(10000);
            outcome = "slept";
        } catch (InterruptedException*) {
            outcome = "interrupted";
        }
    });
    sleeper->interrupt();  // not started: nothing
    sleeper->start();
    ASSERT_TRUE(vmWaitFor([&] { return sleeper->runtimeThread->state == VMThread::WAITING; }));
    const uint64_t start = HAL_getTickCount();
    sleeper->interrupt();
    sleeper->join();
    EXPECT_EQ(outcome, "interrupted");
    EXPECT_LT(HAL_getTickCount() - start, 5000u);
}

TEST_F(ThreadTest, AnUncaughtThrowableIsPrintedWithTheThreadsName) {
    VMPtr<Thread> t = threadRunning([] { _VM_throw(RuntimeException::create()->construct(VM_STR("boom"))); });
    const std::string name = str(t->getName());
    testing::internal::CaptureStdout();
    t->start();
    t->join();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "Exception in thread \"" + name + "\" java.lang.RuntimeException: boom\n    at <unknown>\n");
    EXPECT_FALSE(t->isAlive());
}

// --- reclamation of thread records ---------------------------------------------------

TEST_F(ThreadTest, RecordsGoWithTheirThreadObjectsWhetherEndedOrNeverStarted) {
    VMPtr<Thread> ended = threadRunning(nullptr);
    VMThread* endedRecord = ended->runtimeThread;
    ended->start();
    ended->join();
    ASSERT_TRUE(vmWaitFor([&] { return HAL_isThreadFinished(endedRecord->platformThread); }));
    VMPtr<Thread> unstarted = Thread::create()->construct();
    VMThread* unstartedRecord = unstarted->runtimeThread;
    EXPECT_EQ(unstartedRecord->executionRef, nullptr);  // only its own references keep it
    _VM_collect(_VM_runtime);
    EXPECT_TRUE(listed(endedRecord));  // still held through their Thread objects
    EXPECT_TRUE(listed(unstartedRecord));
    EXPECT_EQ(endedRecord->executionRef, nullptr);

    ended = nullptr;
    unstarted = nullptr;
    _VM_collect(_VM_runtime);
    EXPECT_FALSE(listed(endedRecord));
    EXPECT_FALSE(listed(unstartedRecord));
}

// Records of threads dropped right after they end: a collection may come
// before the platform thread has finished, and must pass such a record over
// (deleting it then would be fatal) and reclaim it later.
TEST_F(ThreadTest, RecordsWhosePlatformThreadIsStillFinishingWaitForIt) {
    std::vector<VMThread*> records;
    for (int i = 0; i < 20; ++i) {
        VMPtr<Thread> t = threadRunning(nullptr);
        records.push_back(t->runtimeThread);
        t->start();
        t->join();
        t = nullptr;
        _VM_collect(_VM_runtime);
    }
    // (A record's address may come back for a later one; none is left at the end.)
    EXPECT_TRUE(vmWaitFor([&] {
        _VM_collect(_VM_runtime);
        for (VMThread* record : records)
            if (listed(record)) return false;
        return true;
    }));
}

}  // namespace
