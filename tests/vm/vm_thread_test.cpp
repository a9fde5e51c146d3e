// Runtime threads: hand-over on yield, sleep, interrupt, start, cancel, wait
// and notify on object monitors, uncaught throwables in run(), contended
// monitors and the release of the recursive runtime lock at switch points.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "VMException.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_IllegalMonitorStateException.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_Runnable.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_Throwable.h"
#include "vm_test.h"

namespace vmthreadtest {}  // namespace vmthreadtest

using namespace java::lang;
using vmtest::Task;

namespace {

// Upper bound for anything a test waits for; reached only when the runtime
// is broken, and then the test fails instead of hanging.
constexpr uint64_t kGuardMillis = 30000;

// A runtime thread with its task; ends (and reaps) the thread when it goes.
class Worker {
public:
    explicit Worker(std::function<void()> body) : task(Task::create()) {
        task->body = std::move(body);
        thread = new VMThread(task.get());
    }
    ~Worker() {
        if (thread == nullptr) return;
        if (thread->state == VMThread::CREATED) {
            task->body = nullptr;
            thread->start();
        }
        if (!join()) {
            VMThread::interrupt(thread);
            if (!join()) ADD_FAILURE() << "a runtime thread did not end";
        }
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void start() { thread->start(); }

    // Gives up the runtime lock until the thread has ended and its platform
    // thread has finished; false when the guard ran out.
    bool waitEnded() {
        return vmWaitFor(
            [this] { return thread->state == VMThread::ENDED && HAL_isThreadFinished(thread->platformThread); });
    }
    // waitEnded, then the record goes.
    bool join() {
        if (!waitEnded()) return false;
        delete thread;
        thread = nullptr;
        return true;
    }

    VMPtr<Task> task;
    VMThread* thread = nullptr;
};

// Holding the runtime lock, waits until n threads queue for it.
bool waitUntilQueued(int n) {
    const uint64_t deadline = HAL_getTickCount() + kGuardMillis;
    while (HAL_vmLockWaiterCount() < n) {
        if (HAL_getTickCount() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

class RuntimeThreadTest : public VMTest {};

TEST_F(RuntimeThreadTest, TaskClassIsARunnable) {
    EXPECT_TRUE(_VM_implements(_VM_classRegistry(), Task::_VM_getClass(), Runnable::_VM_getClass()));
}

TEST_F(RuntimeThreadTest, TwoThreadsAlternateOnYield) {
    std::string log;
    auto body = [&log](char mark) {
        return [&log, mark] {
            VMThread* me = VMThread::current();
            for (int i = 0; i < 5; ++i) {
                log += mark;
                VMThread::yield();
                EXPECT_EQ(VMThread::current(), me);  // current again after the yield
            }
        };
    };
    Worker a(body('a'));
    Worker b(body('b'));
    VMThread* self = VMThread::current();
    EXPECT_FALSE(a.thread->isStarted());
    a.start();
    b.start();
    EXPECT_TRUE(a.thread->isStarted());
    ASSERT_TRUE(waitUntilQueued(2));
    EXPECT_TRUE(a.join());
    EXPECT_TRUE(b.join());
    EXPECT_EQ(VMThread::current(), self);
    ASSERT_EQ(log.size(), 10u);
    for (size_t i = 0; i + 1 < log.size(); ++i) EXPECT_NE(log[i], log[i + 1]) << log;
}

TEST_F(RuntimeThreadTest, SleepOfZeroOrLessOnlyYieldsButHonoursAPendingInterrupt) {
    VMThread* self = VMThread::current();
    int ran = 0;
    Worker first([&] { ++ran; });
    Worker second([&] { ++ran; });

    // The queued thread runs during the yield.
    first.start();
    ASSERT_TRUE(waitUntilQueued(1));
    VMThread::sleep(self, 0);
    EXPECT_EQ(ran, 1);
    second.start();
    ASSERT_TRUE(waitUntilQueued(1));
    VMThread::sleep(self, -5);
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(self->state, VMThread::RUNNING);

    for (jlong ms : {jlong(0), jlong(-5), jlong(10000)}) {
        VMThread::interrupt(self);
        EXPECT_TRUE(self->interrupted);
        EXPECT_EQ(VM_THROWN_CLASS(VMThread::sleep(self, ms)), "java.lang.InterruptedException") << ms;
        EXPECT_FALSE(self->interrupted);
        EXPECT_EQ(self->state, VMThread::RUNNING);
        EXPECT_EQ(VM_THROWN_CLASS(VMThread::sleep(self, ms == 10000 ? 1 : ms)), "");
    }
    EXPECT_EQ(self->waitLock, nullptr);
}

TEST_F(RuntimeThreadTest, InterruptWakesALongSleepAtOnce) {
    std::string outcome;
    bool flagAfter = true;
    Worker sleeper([&] {
        try {
            VMThread::sleep(VMThread::current(), 10000);
            outcome = "slept";
        } catch (InterruptedException* e) {
            outcome = "interrupted";
            EXPECT_EQ(e->getMessage(), nullptr);
        }
        flagAfter = VMThread::current()->interrupted;
    });
    const int before = VMThread::activeCount();
    sleeper.start();
    ASSERT_TRUE(vmWaitFor([&] { return sleeper.thread->state == VMThread::WAITING; }));
    EXPECT_EQ(VMThread::activeCount(), before + 1);
    EXPECT_NE(sleeper.thread->sleepLock, nullptr);
    EXPECT_EQ(sleeper.thread->waitLock, sleeper.thread->sleepLock);
    // Cancel marks running threads only.
    VMThread::cancel(sleeper.thread);
    EXPECT_FALSE(HAL_isThreadCancelled(sleeper.thread->platformThread));

    VMThread::interrupt(sleeper.thread);
    ASSERT_TRUE(sleeper.waitEnded());
    EXPECT_EQ(outcome, "interrupted");
    EXPECT_FALSE(flagAfter);
    EXPECT_EQ(sleeper.thread->waitLock, nullptr);
    EXPECT_EQ(VMThread::activeCount(), before);
}

TEST_F(RuntimeThreadTest, UnstartedThreadsIgnoreInterruptAndASecondStartDoesNothing) {
    int runs = 0;
    bool sawInterrupt = false;
    Worker w([&] {
        ++runs;
        try {
            VMThread::sleep(VMThread::current(), 0);
        } catch (InterruptedException*) {
            sawInterrupt = true;
        }
    });
    EXPECT_EQ(w.thread->state, VMThread::CREATED);
    EXPECT_FALSE(w.thread->isAlive());
    VMThread::interrupt(w.thread);
    EXPECT_FALSE(w.thread->interrupted);
    VMThread::cancel(w.thread);
    EXPECT_FALSE(HAL_isThreadCancelled(w.thread->platformThread));

    w.start();
    w.start();
    EXPECT_EQ(w.thread->state, VMThread::RUNNING);
    ASSERT_TRUE(w.waitEnded());
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(sawInterrupt);

    // An ended thread is left alone by all of them.
    w.start();
    VMThread::interrupt(w.thread);
    VMThread::cancel(w.thread);
    EXPECT_EQ(w.thread->state, VMThread::ENDED);
    EXPECT_FALSE(w.thread->interrupted);
    EXPECT_FALSE(HAL_isThreadCancelled(w.thread->platformThread));
    EXPECT_EQ(w.thread->executionRef, nullptr);
    EXPECT_EQ(runs, 1);
}

TEST_F(RuntimeThreadTest, CancelOnlyMarksARunningThread) {
    bool ran = false;
    Worker w([&] { ran = true; });
    w.start();
    VMThread::cancel(w.thread);
    EXPECT_TRUE(HAL_isThreadCancelled(w.thread->platformThread));
    // The mark does not stop the thread.
    ASSERT_TRUE(w.waitEnded());
    EXPECT_TRUE(ran);
}

TEST_F(RuntimeThreadTest, WaitChecksItsArgumentsAndTheMonitor) {
    VMPtr<Object> monitor = Object::create();
    EXPECT_EQ(VM_THROWN_CLASS(monitor->wait(-1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(monitor->wait()), "java.lang.IllegalMonitorStateException");
    EXPECT_EQ(VM_THROWN_CLASS(monitor->wait(5)), "java.lang.IllegalMonitorStateException");
    EXPECT_EQ(VM_THROWN_CLASS(monitor->notify()), "java.lang.IllegalMonitorStateException");
    EXPECT_EQ(VM_THROWN_CLASS(monitor->notifyAll()), "java.lang.IllegalMonitorStateException");
    {
        VMSynchronized hold(monitor);
        EXPECT_EQ(VM_THROWN_CLASS(monitor->wait(-1)), "java.lang.IllegalArgumentException");
        // A thin monitor has nobody to wake.
        monitor->notify();
        monitor->notifyAll();
        EXPECT_EQ(monitor->_VM_inflated, nullptr);
    }

    // Held by another thread: not ours to wait on or notify.
    VMPtr<Object> foreign = Object::create();
    bool release = false;
    Worker holder([&] {
        VMSynchronized hold(foreign);
        while (!release) VMThread::yield();
    });
    holder.start();
    ASSERT_TRUE(vmWaitFor([&] { return foreign->_VM_count == 1; }));
    EXPECT_EQ(VM_THROWN_CLASS(foreign->wait(1)), "java.lang.IllegalMonitorStateException");
    EXPECT_EQ(VM_THROWN_CLASS(foreign->notify()), "java.lang.IllegalMonitorStateException");
    release = true;
    EXPECT_TRUE(holder.join());
}

TEST_F(RuntimeThreadTest, TimedWaitRestoresTheMonitorAndLeavesNoWaiter) {
    VMThread* self = VMThread::current();
    VMPtr<Object> monitor = Object::create();
    {
        VMSynchronized a(monitor);
        VMSynchronized b(monitor);
        VMSynchronized c(monitor);
        monitor->wait(5);
        EXPECT_EQ(monitor->_VM_owner, self);
        EXPECT_EQ(monitor->_VM_count, 3);
        ASSERT_NE(monitor->_VM_inflated, nullptr);
        EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 0);
        EXPECT_EQ(self->state, VMThread::RUNNING);
        EXPECT_EQ(self->waitLock, nullptr);

        // A pending interrupt throws before waiting; the monitor stays held.
        VMThread::interrupt(self);
        EXPECT_EQ(VM_THROWN_CLASS(monitor->wait(10000)), "java.lang.InterruptedException");
        EXPECT_FALSE(self->interrupted);
        EXPECT_EQ(monitor->_VM_count, 3);
        EXPECT_EQ(monitor->_VM_owner, self);
    }
    EXPECT_EQ(monitor->_VM_count, 0);
    EXPECT_EQ(monitor->_VM_owner, nullptr);

    // A worker's timed wait that nobody notifies ends too.
    bool returned = false;
    Worker w([&] {
        VMSynchronized hold(monitor);
        monitor->wait(20);
        returned = monitor->_VM_owner == VMThread::current() && monitor->_VM_count == 1;
    });
    w.start();
    EXPECT_TRUE(w.join());
    EXPECT_TRUE(returned);
    EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 0);
}

TEST_F(RuntimeThreadTest, NotifyWakesAWaiterWithoutTimeOut) {
    VMPtr<Object> monitor = Object::create();
    bool woke = false;
    bool heldAfter = false;
    Worker waiter([&] {
        VMSynchronized hold(monitor);
        monitor->wait();
        woke = true;
        heldAfter = monitor->_VM_owner == VMThread::current() && monitor->_VM_count == 1;
    });
    waiter.start();
    ASSERT_TRUE(vmWaitFor([&] { return waiter.thread->state == VMThread::WAITING; }));
    EXPECT_EQ(waiter.thread->waitLock, monitor->_VM_inflated);
    EXPECT_EQ(monitor->_VM_count, 0);
    EXPECT_EQ(monitor->_VM_owner, nullptr);
    {
        VMSynchronized hold(monitor);
        EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 1);
        monitor->notify();
        EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 0);
        EXPECT_FALSE(woke);  // it needs the monitor back first
    }
    EXPECT_TRUE(waiter.join());
    EXPECT_TRUE(woke);
    EXPECT_TRUE(heldAfter);
}

TEST_F(RuntimeThreadTest, NotifyTakesOneWaiterAndNotifyAllTakesEvery) {
    VMPtr<Object> monitor = Object::create();
    int woke = 0;
    auto body = [&] {
        VMSynchronized hold(monitor);
        monitor->wait();
        ++woke;
    };
    {
        Worker a(body), b(body);
        a.start();
        b.start();
        ASSERT_TRUE(
            vmWaitFor([&] { return a.thread->state == VMThread::WAITING && b.thread->state == VMThread::WAITING; }));
        VMSynchronized hold(monitor);
        monitor->notify();
        EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 1);
        monitor->notify();
        EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 0);
    }
    EXPECT_EQ(woke, 2);

    woke = 0;
    Worker a(body), b(body), c(body);
    a.start();
    b.start();
    c.start();
    ASSERT_TRUE(vmWaitFor([&] {
        return a.thread->state == VMThread::WAITING && b.thread->state == VMThread::WAITING &&
               c.thread->state == VMThread::WAITING;
    }));
    {
        VMSynchronized hold(monitor);
        EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 3);
        monitor->notifyAll();
        EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 0);
    }
    EXPECT_TRUE(a.join());
    EXPECT_TRUE(b.join());
    EXPECT_TRUE(c.join());
    EXPECT_EQ(woke, 3);
}

TEST_F(RuntimeThreadTest, InterruptEndsAWaitOnAMonitor) {
    VMPtr<Object> monitor = Object::create();
    std::string outcome;
    Worker waiter([&] {
        VMSynchronized hold(monitor);
        try {
            monitor->wait();
            outcome = "notified";
        } catch (InterruptedException*) {
            // Thrown with the monitor held again.
            outcome =
                monitor->_VM_owner == VMThread::current() && monitor->_VM_count == 1 ? "interrupted" : "lost monitor";
        }
    });
    waiter.start();
    ASSERT_TRUE(vmWaitFor([&] { return waiter.thread->state == VMThread::WAITING; }));
    VMThread::interrupt(waiter.thread);
    EXPECT_TRUE(waiter.join());
    EXPECT_EQ(outcome, "interrupted");
    EXPECT_EQ(monitor->_VM_count, 0);
    EXPECT_EQ(HAL_waiterCount(monitor->_VM_inflated), 0);
}

TEST_F(RuntimeThreadTest, AnUncaughtThrowableIsPrintedAndWaitersOnTheThreadObjectAreWoken) {
    Worker thrower([] { _VM_throw(RuntimeException::create()->construct(String::_VM_fromUTF8("boom"))); });
    VMPtr<Task> throwerTask = thrower.task;
    bool woke = false;
    Worker waiter([&] {
        VMSynchronized hold(throwerTask);
        throwerTask->wait();
        woke = true;
    });
    waiter.start();
    ASSERT_TRUE(vmWaitFor([&] { return waiter.thread->state == VMThread::WAITING; }));

    testing::internal::CaptureStdout();
    thrower.start();
    bool ended = thrower.waitEnded();
    std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ended);
    EXPECT_EQ(printed, "Exception in thread \"\" java.lang.RuntimeException: boom\n    at <unknown>\n");
    EXPECT_EQ(thrower.thread->state, VMThread::ENDED);
    EXPECT_FALSE(thrower.thread->isAlive());
    EXPECT_EQ(thrower.thread->executionRef, nullptr);
    EXPECT_EQ(thrower.thread->inFlight, nullptr);

    EXPECT_TRUE(waiter.join());
    EXPECT_TRUE(woke);
}

// Two threads hand a turn back and forth through one monitor. Every wait is
// without time-out, so a lost notify would stall the exchange: a watchdog on
// a plain platform thread then wakes everybody and the test fails. The
// waiter also makes short timed waits that run out, whose nodes must not
// stay behind.
TEST_F(RuntimeThreadTest, StressNoNotifyIsLostAndNoWaiterNodeSurvives) {
    constexpr int kRounds = 2000;
    VMPtr<Object> monitor = Object::create();
    int turn = 0;
    int workerRounds = 0;
    int emptyWakeups = 0;
    int mostWaiters = 0;
    std::atomic<bool> abandon{false};

    Worker worker([&] {
        VMSynchronized hold(monitor);
        for (int i = 0; i < kRounds && !abandon; ++i) {
            while (turn != 1 && !abandon) {
                monitor->wait();
                if (turn != 1 && !abandon) ++emptyWakeups;
            }
            if (i % 7 == 0) monitor->wait(1);  // nobody notifies now: runs out
            turn = 0;
            ++workerRounds;
            monitor->notify();
        }
    });

    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    HAL_Lock* platformLock = nullptr;
    std::thread watchdog;
    {
        VMSynchronized hold(monitor);
        _VM_inflateMonitor(monitor.get());
        platformLock = monitor->_VM_inflated;
        ASSERT_NE(platformLock, nullptr);
        watchdog = std::thread([&] {
            std::unique_lock<std::mutex> guard(doneMutex);
            if (doneSignal.wait_for(guard, std::chrono::milliseconds(kGuardMillis), [&] { return done; })) return;
            abandon = true;
            while (!done) {
                HAL_notifyAll(platformLock);
                doneSignal.wait_for(guard, std::chrono::milliseconds(10), [&] { return done; });
            }
        });

        worker.start();
        for (int i = 0; i < kRounds && !abandon; ++i) {
            turn = 1;
            monitor->notify();
            while (turn != 0 && !abandon) {
                monitor->wait();
                if (turn != 0 && !abandon) ++emptyWakeups;
            }
            mostWaiters = std::max(mostWaiters, HAL_waiterCount(platformLock));
        }
    }
    EXPECT_TRUE(worker.waitEnded());
    {
        std::lock_guard<std::mutex> guard(doneMutex);
        done = true;
    }
    doneSignal.notify_all();
    watchdog.join();

    EXPECT_FALSE(abandon) << "the exchange stalled: a notify was lost";
    EXPECT_EQ(workerRounds, kRounds);
    EXPECT_EQ(emptyWakeups, 0);
    EXPECT_LE(mostWaiters, 1);
    EXPECT_EQ(HAL_waiterCount(platformLock), 0);
    EXPECT_EQ(monitor->_VM_count, 0);
}

TEST_F(RuntimeThreadTest, AContendedMonitorInflatesAndStaysExclusive) {
    constexpr int kIterations = 300;
    VMPtr<Object> monitor = Object::create();
    int counter = 0;
    int overlaps = 0;
    bool inside = false;
    auto body = [&] {
        for (int i = 0; i < kIterations; ++i) {
            {
                VMSynchronized hold(monitor);
                if (inside) ++overlaps;
                inside = true;
                int seen = counter;
                VMThread::yield();  // the other thread runs into the held monitor
                counter = seen + 1;
                inside = false;
            }
            VMThread::yield();
        }
    };
    Worker a(body), b(body);
    a.start();
    b.start();
    // Both queued for the runtime lock: from the first yield on they meet.
    ASSERT_TRUE(waitUntilQueued(2));
    EXPECT_TRUE(a.join());
    EXPECT_TRUE(b.join());
    EXPECT_EQ(counter, 2 * kIterations);
    EXPECT_EQ(overlaps, 0);
    EXPECT_NE(monitor->_VM_inflated, nullptr);
    EXPECT_EQ(monitor->_VM_count, 0);
    EXPECT_EQ(monitor->_VM_owner, nullptr);

    // Still usable by a third thread, recursively.
    {
        VMSynchronized outer(monitor);
        VMSynchronized inner(monitor);
        EXPECT_EQ(monitor->_VM_count, 2);
        EXPECT_EQ(monitor->_VM_owner, VMThread::current());
    }
    EXPECT_EQ(monitor->_VM_count, 0);
}

// yield, sleep and wait give up every level of the runtime lock the thread
// holds (otherwise the queued thread could never run) and restore the depth.
TEST_F(RuntimeThreadTest, SwitchPointsReleaseEveryLevelOfTheRuntimeLock) {
    VMThread* self = VMThread::current();
    VMPtr<Object> monitor = Object::create();
    int ran = 0;
    auto body = [&] {
        ++ran;
        VMSynchronized hold(monitor);
        monitor->notifyAll();
    };
    Worker byYield(body), bySleep(body), byWait(body);
    // Two more levels for the length of the test (left again on every path).
    struct ExtraLevels {
        ExtraLevels() {
            HAL_enterVMLock();
            HAL_enterVMLock();
        }
        ~ExtraLevels() {
            HAL_leaveVMLock();
            HAL_leaveVMLock();
        }
    } extra;

    byYield.start();
    ASSERT_TRUE(waitUntilQueued(1));
    VMThread::yield();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(VMThread::current(), self);

    bySleep.start();
    ASSERT_TRUE(waitUntilQueued(1));
    VMThread::sleep(self, 1);
    EXPECT_EQ(ran, 2);

    {
        VMSynchronized hold(monitor);
        byWait.start();
        ASSERT_TRUE(waitUntilQueued(1));
        monitor->wait();
        EXPECT_EQ(ran, 3);
    }

    EXPECT_EQ(VMThread::current(), self);
    const int depth = HAL_releaseVMLockFully();
    HAL_reacquireVMLock(depth);
    HAL_hostEnter();
    EXPECT_EQ(depth, 3);
}

}  // namespace
