// The runtime lock, native threads and platform locks.
#include "hal_system.h"
#include "hal_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr auto kLongestWait = std::chrono::seconds(30);

// Spins (yielding the CPU) until the condition holds; after 30 s it fails the
// test with a message instead of hanging it.
template <typename Condition>
bool waitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the awaited condition did not come about within 30 s";
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// HAL_wait for a notify that must come: a lost wake-up fails the test after
// 30 s instead of hanging it.
void waitForNotify(HAL_Lock* lock) {
    const auto start = std::chrono::steady_clock::now();
    HAL_wait(lock, std::chrono::duration_cast<std::chrono::milliseconds>(kLongestWait).count());
    if (std::chrono::steady_clock::now() - start >= kLongestWait)
        ADD_FAILURE() << "no notify within 30 s: the wake-up was lost";
}

// Leaves `levels` levels and reports whether the lock was still held before the last one.
bool heldExactly(int levels) {
    for (int i = 0; i < levels; ++i) {
        if (!HAL_holdsVMLock()) return false;
        HAL_leaveVMLock();
    }
    return !HAL_holdsVMLock();
}

thread_local int t_enterCalls = 0;
void* countEnter() {
    ++t_enterCalls;
    return nullptr;
}

// A lost wake-up or a lock that is never let go shows as a hang; this ends
// the test program with a failure instead of leaving it stuck.
class Watchdog {
public:
    Watchdog()
        : thread_([this] {
              std::unique_lock<std::mutex> guard(mutex_);
              if (!done_.wait_for(guard, std::chrono::seconds(120), [this] { return stopped_; })) {
                  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
                  std::fprintf(stderr, "\n%s.%s hung (deadlock or lost wake-up)\n", test->test_suite_name(),
                               test->name());
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stopped_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool stopped_ = false;
    std::thread thread_;
};

class HalThreadTest : public testing::Test {
protected:
    void SetUp() override { HAL_createLock(&lock, 0); }
    void TearDown() override {
        HAL_deleteLock(lock);
        HAL_setHostCallbacks(nullptr);
    }
    Watchdog watchdog;
    HAL_Lock* lock = nullptr;
};

TEST_F(HalThreadTest, ReleasingThreadQueuesBehindWaiters) {
    std::vector<char> order;
    HAL_enterVMLock();
    std::thread b([&] {
        HAL_enterVMLock();
        order.push_back('B');
        HAL_leaveVMLock();
    });
    waitFor([] { return HAL_vmLockWaiterCount() == 1; });
    HAL_leaveVMLock();
    HAL_enterVMLock();
    order.push_back('A');
    HAL_leaveVMLock();
    b.join();
    EXPECT_EQ(order, (std::vector<char>{'B', 'A'}));
}

TEST_F(HalThreadTest, YieldHandsOverAndRestoresDepth) {
    std::vector<char> order;
    for (int i = 0; i < 3; ++i) HAL_enterVMLock();
    std::thread b([&] {
        HAL_enterVMLock();
        order.push_back('B');
        HAL_leaveVMLock();
    });
    waitFor([] { return HAL_vmLockWaiterCount() == 1; });
    HAL_yieldVMLock();
    order.push_back('A');
    EXPECT_TRUE(heldExactly(3));
    b.join();
    EXPECT_EQ(order, (std::vector<char>{'B', 'A'}));
}

TEST_F(HalThreadTest, YieldingThreadsAlternate) {
    constexpr int kRounds = 500;
    std::string log;
    HAL_enterVMLock();
    std::thread b([&] {
        HAL_enterVMLock();
        for (int i = 0; i < kRounds; ++i) {
            log += 'B';
            HAL_yieldVMLock();
        }
        HAL_leaveVMLock();
    });
    waitFor([] { return HAL_vmLockWaiterCount() == 1; });
    for (int i = 0; i < kRounds; ++i) {
        log += 'A';
        HAL_yieldVMLock();
    }
    HAL_leaveVMLock();
    b.join();
    std::string expected;
    for (int i = 0; i < kRounds; ++i) expected += "AB";
    EXPECT_EQ(log, expected);
}

TEST_F(HalThreadTest, SleepReleasesAllLevelsAndRestoresThem) {
    std::atomic<bool> ran{false};
    HAL_enterVMLock();
    HAL_enterVMLock();
    std::thread b([&] {
        HAL_enterVMLock();  // only possible once the sleeper has let go of every level
        ran = true;
        HAL_leaveVMLock();
    });
    // HAL_sleep is what gives the levels up; bounded like every wait here.
    for (int slept = 0; !ran.load(); slept += 5) {
        if (slept >= 30000) {
            ADD_FAILURE() << "the other thread never got the runtime lock";
            break;
        }
        HAL_sleep(5);
    }
    EXPECT_TRUE(heldExactly(2));
    b.join();
}

TEST_F(HalThreadTest, LockReleasesRuntimeLockWhileBlocked) {
    HAL_enterVMLock();
    HAL_enterVMLock();
    std::thread b([&] {
        HAL_lock(lock);
        HAL_enterVMLock();  // held by the main thread until its HAL_lock lets go
        HAL_unlock(lock);
        HAL_leaveVMLock();
    });
    waitFor([] { return HAL_vmLockWaiterCount() == 1; });  // b holds the lock by now
    HAL_lock(lock);
    EXPECT_TRUE(heldExactly(2));
    HAL_unlock(lock);
    b.join();
}

TEST_F(HalThreadTest, WaitReleasesBothLocksAndRestoresDepths) {
    HAL_enterVMLock();
    HAL_enterVMLock();
    HAL_lock(lock);
    HAL_lock(lock);
    std::thread b([&] {
        waitFor([&] { return HAL_waiterCount(lock) == 1; });
        HAL_enterVMLock();
        HAL_lock(lock);
        HAL_notify(lock);
        HAL_unlock(lock);
        HAL_leaveVMLock();
    });
    waitForNotify(lock);
    EXPECT_TRUE(heldExactly(2));
    b.join();
    // Still held twice: a single unlock must keep other threads out.
    HAL_unlock(lock);
    std::atomic<bool> taken{false};
    std::thread c([&] {
        HAL_lock(lock);
        taken = true;
        HAL_unlock(lock);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(taken.load());
    HAL_unlock(lock);
    c.join();
    EXPECT_TRUE(taken.load());
}

TEST_F(HalThreadTest, HostEnterRunsAfterEveryRetake) {
    HAL_HostCallbacks callbacks;
    callbacks.enter = countEnter;
    HAL_setHostCallbacks(&callbacks);
    t_enterCalls = 0;
    HAL_enterVMLock();
    EXPECT_EQ(t_enterCalls, 0);
    HAL_yieldVMLock();
    HAL_yield();
    HAL_sleep(0);
    HAL_sleep(1);
    HAL_lock(lock);
    HAL_wait(lock, 1);
    HAL_unlock(lock);
    EXPECT_EQ(t_enterCalls, 6);
    HAL_leaveVMLock();

    std::atomic<int> callsInEntry{-1};
    NativeThreadRecord* record = nullptr;
    ASSERT_EQ(HAL_createThread(
                  &record,
                  [](void* out) { static_cast<std::atomic<int>*>(out)->store(HAL_holdsVMLock() ? t_enterCalls : -2); },
                  &callsInEntry),
              0);
    HAL_startThread(record);
    waitFor([&] { return HAL_isThreadFinished(record); });
    HAL_deleteThread(record);
    EXPECT_EQ(callsInEntry.load(), 1);
}

// Waiter and notifier race many times; a wake-up lost anywhere hangs the test.
TEST_F(HalThreadTest, NoLostWakeUps) {
    for (bool underRuntimeLock : {true, false}) {
        for (int i = 0; i < 2000; ++i) {
            std::atomic<bool> queued{false};
            std::thread waiter([&] {
                if (underRuntimeLock) HAL_enterVMLock();
                HAL_lock(lock);
                queued = true;
                waitForNotify(lock);
                HAL_unlock(lock);
                if (underRuntimeLock) HAL_leaveVMLock();
            });
            for (bool done = false; !done;) {
                if (underRuntimeLock) HAL_enterVMLock();
                HAL_lock(lock);
                if ((done = queued.load())) HAL_notify(lock);
                HAL_unlock(lock);
                if (underRuntimeLock) HAL_leaveVMLock();
                // The waiter needs the processor to queue itself.
                if (!done) std::this_thread::yield();
            }
            waiter.join();
        }
    }
    EXPECT_EQ(HAL_waiterCount(lock), 0);
}

TEST_F(HalThreadTest, TimedWaitLeavesNoNodeAndNotifyReachesRealWaiter) {
    HAL_lock(lock);
    for (int i = 0; i < 20; ++i) HAL_wait(lock, 1);
    HAL_unlock(lock);
    ASSERT_EQ(HAL_waiterCount(lock), 0);

    std::thread waiter([&] {
        HAL_lock(lock);
        HAL_wait(lock, -1);  // negative: without limit
        HAL_unlock(lock);
    });
    waitFor([&] { return HAL_waiterCount(lock) == 1; });
    HAL_notify(lock);
    waiter.join();
    HAL_notify(lock);  // nobody waits: nothing happens
    EXPECT_EQ(HAL_waiterCount(lock), 0);
}

TEST_F(HalThreadTest, NotifyWakesWaitersInOrderAndNotifyAllWakesEveryone) {
    std::vector<int> woken;
    std::mutex wokenMutex;
    auto waitAndRecord = [&](int id) {
        HAL_lock(lock);
        waitForNotify(lock);
        HAL_unlock(lock);
        std::lock_guard<std::mutex> guard(wokenMutex);
        woken.push_back(id);
    };
    std::thread first(waitAndRecord, 1);
    waitFor([&] { return HAL_waiterCount(lock) == 1; });
    std::thread second(waitAndRecord, 2);
    waitFor([&] { return HAL_waiterCount(lock) == 2; });
    HAL_notify(lock);
    first.join();
    EXPECT_EQ(woken, std::vector<int>{1});
    EXPECT_EQ(HAL_waiterCount(lock), 1);
    HAL_notify(lock);
    second.join();

    std::vector<std::thread> many;
    for (int i = 0; i < 4; ++i) many.emplace_back(waitAndRecord, 10 + i);
    waitFor([&] { return HAL_waiterCount(lock) == 4; });
    HAL_notifyAll(lock);
    for (auto& t : many) t.join();
    EXPECT_EQ(woken.size(), 6u);
    EXPECT_EQ(HAL_waiterCount(lock), 0);
}

TEST_F(HalThreadTest, CreatedThreadRunsEntryOnceStartedUnderRuntimeLock) {
    struct Seen {
        NativeThreadRecord* self = nullptr;
        void* data = nullptr;
        bool heldLock = false;
        int runs = 0;
    } seen;
    NativeThreadRecord* record = nullptr;
    ASSERT_EQ(HAL_createThread(
                  &record,
                  [](void* argument) {
                      auto* s = static_cast<Seen*>(argument);
                      s->self = HAL_getCurrentThread();
                      s->data = HAL_getCurrentThreadData();
                      s->heldLock = HAL_holdsVMLock();
                      ++s->runs;
                  },
                  &seen),
              0);
    ASSERT_NE(record, nullptr);
    HAL_cancelThread(record);  // only a mark
    EXPECT_TRUE(HAL_isThreadCancelled(record));
    HAL_startThread(record);
    HAL_startThread(record);
    waitFor([&] { return HAL_isThreadFinished(record); });
    EXPECT_EQ(seen.runs, 1);
    EXPECT_EQ(seen.self, record);
    EXPECT_EQ(seen.data, &seen);
    EXPECT_TRUE(seen.heldLock);
    HAL_deleteThread(record);

    ASSERT_EQ(HAL_createThread(&record, nullptr, nullptr), 0);
    HAL_startThread(record);
    waitFor([&] { return HAL_isThreadFinished(record); });
    HAL_deleteThread(record);
    EXPECT_NE(HAL_createThread(nullptr, nullptr, nullptr), 0);
}

TEST_F(HalThreadTest, AttachedThreadsGetRecordsOfTheirOwn) {
    NativeThreadRecord* mainRecord = HAL_getCurrentThread();
    EXPECT_EQ(HAL_getCurrentThread(), mainRecord);
    EXPECT_FALSE(HAL_isThreadFinished(mainRecord));
    int value = 0;
    HAL_setCurrentThreadData(nullptr, &value);  // ignored
    EXPECT_NE(HAL_getCurrentThreadData(), &value);
    HAL_setCurrentThreadData(mainRecord, &value);
    EXPECT_EQ(HAL_getCurrentThreadData(), &value);
    HAL_setCurrentThreadData(mainRecord, nullptr);

    std::thread other([&] {
        NativeThreadRecord* own = HAL_getCurrentThread();
        EXPECT_NE(own, mainRecord);
        HAL_deleteThread(own);
        HAL_deleteThread(mainRecord);  // another thread's: left to that thread
        EXPECT_NE(HAL_getCurrentThread(), nullptr);
    });
    other.join();
    EXPECT_EQ(HAL_getCurrentThread(), mainRecord);
}

TEST(HalThreadDeathTest, DeletingUnfinishedThreadIsFatal) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            NativeThreadRecord* record = nullptr;
            HAL_createThread(&record, nullptr, nullptr);
            HAL_deleteThread(record);
        },
        testing::ExitedWithCode(1), "");
}

}  // namespace
