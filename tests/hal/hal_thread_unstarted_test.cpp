// Disposing of a platform thread that was created but never started.
#include "hal_system.h"
#include "hal_thread.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(HalUnstartedThreadTest, IsEndedWithoutRunningItsEntryAndFreed) {
    int runs = 0;
    auto entry = [](void* argument) { ++*static_cast<int*>(argument); };
    for (int i = 0; i < 50; ++i) {
        NativeThreadRecord* record = nullptr;
        ASSERT_EQ(HAL_createThread(&record, entry, &runs), 0);
        ASSERT_NE(record, nullptr);
        EXPECT_FALSE(HAL_isThreadFinished(record));
        HAL_deleteUnstartedThread(record);  // returns: nothing waits for the runtime lock
    }
    EXPECT_EQ(runs, 0);
    HAL_deleteUnstartedThread(nullptr);

    // A started thread that has finished is deleted as usual.
    NativeThreadRecord* record = nullptr;
    ASSERT_EQ(HAL_createThread(&record, entry, &runs), 0);
    HAL_startThread(record);
    while (!HAL_isThreadFinished(record)) std::this_thread::yield();
    HAL_deleteUnstartedThread(record);
    EXPECT_EQ(runs, 1);
}

TEST(HalUnstartedThreadDeathTest, AStartedThreadThatHasNotFinishedIsStillFatal) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            HAL_enterVMLock();  // the started thread blocks on it
            NativeThreadRecord* record = nullptr;
            HAL_createThread(
                &record, [](void*) {}, nullptr);
            HAL_startThread(record);
            HAL_deleteUnstartedThread(record);
        },
        testing::ExitedWithCode(1), "");
}

}  // namespace
