// The test harness joins what it starts: a stopped canvas and a runtime
// thread that has ended leave no platform thread unjoined (a thread checker
// reports every one left at exit as a leak).
#include <gtest/gtest.h>

#include "java_lang_Thread.h"
#include "ts_test_support.h"

namespace {

class FixtureThreadsTest : public VMTest {};

TEST_F(FixtureThreadsTest, AStoppedCanvasAndAnEndedThreadLeaveNoPlatformThreadUnjoined) {
    const int before = HAL_unjoinedThreadCount();
    VMPtr<tstest::TestCanvas> canvas = tstest::stoppedCanvas();
    EXPECT_FALSE(canvas->thread->isAlive());
    EXPECT_LE(HAL_unjoinedThreadCount(), before);

    // A thread of the runtime's own, ended and still referenced (its record
    // is not collected, so nothing else would join it).
    VMPtr<vmtest::Task> task = vmtest::Task::create();
    bool ran = false;
    task->body = [&ran] { ran = true; };
    VMPtr<java::lang::Thread> thread =
        java::lang::Thread::create()->construct(VMPtr<java::lang::Runnable>(task));
    thread->start();
    ASSERT_TRUE(vmWaitFor([&] { return !thread->isAlive(); }));
    EXPECT_TRUE(ran);
    const int ended = HAL_unjoinedThreadCount();
    EXPECT_GT(ended, 0);
    vmJoinEndedThreads();
    EXPECT_LT(HAL_unjoinedThreadCount(), ended);
    EXPECT_LE(HAL_unjoinedThreadCount(), before);
    // Joining again finds nothing more to join and does no harm.
    vmJoinEndedThreads();
    EXPECT_LE(HAL_unjoinedThreadCount(), before);
}

}  // namespace
