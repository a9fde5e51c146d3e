#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "host_support.h"
#include "vm_test.h"

namespace {

// Ends the test program with a message when one test runs longer than its
// bound (a wait for a wake-up that never comes), instead of leaving it to
// hang until the test runner's limit. VESSILO_TEST_BOUND_SECONDS overrides
// the bound (0 turns it off, as under a debugger).
class Watchdog : public testing::EmptyTestEventListener {
public:
    // The watching thread outlives the listener (gtest deletes listeners at
    // exit), so what it reads is never freed.
    struct State {
        int bound = 0;
        std::mutex mutex;
        std::string name;
        std::atomic<int64_t> started{0};
        std::atomic<bool> running{false};
    };

    explicit Watchdog(int seconds) : state_(new State) {
        state_->bound = seconds;
        State* state = state_;
        std::thread([state] { watch(state); }).detach();
    }
    void OnTestStart(const testing::TestInfo& info) override {
        {
            std::lock_guard<std::mutex> guard(state_->mutex);
            state_->name = std::string(info.test_suite_name()) + "." + info.name();
        }
        state_->started.store(now());
        state_->running.store(true);
    }
    void OnTestEnd(const testing::TestInfo&) override { state_->running.store(false); }

private:
    static int64_t now() {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    static void watch(State* state) {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            if (state->running.load() && now() - state->started.load() > state->bound) {
                std::lock_guard<std::mutex> guard(state->mutex);
                std::fprintf(stderr, "\n%s did not finish within %d s: a wait that never ended\n", state->name.c_str(),
                             state->bound);
                std::fflush(nullptr);
                ::_exit(1);
            }
        }
    }
    State* state_;  // deliberately never freed
};

// At the end of the program: the platform threads of the runtime threads
// that tests started and that have ended are joined, as the runtime's
// shutdown would join them.
class JoinEndedThreads : public testing::Environment {
public:
    void TearDown() override { vmJoinEndedThreads(); }
};

}  // namespace

int main(int argc, char** argv) {
    // Headless: no window or sound device is opened by any test.
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    // A whole program run that a test started in a child process.
    int exitCode = 0;
    if (RunHostChildIfAsked(argc, argv, &exitCode)) return exitCode;
    testing::InitGoogleTest(&argc, argv);
    // Death tests re-run the test binary for the child, so the child starts
    // from a fresh process (the runtime lives once per process).
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* bound = std::getenv("VESSILO_TEST_BOUND_SECONDS");
    const int seconds = bound != nullptr ? std::atoi(bound) : 240;
    testing::AddGlobalTestEnvironment(new JoinEndedThreads);
    if (seconds > 0) testing::UnitTest::GetInstance()->listeners().Append(new Watchdog(seconds));
    return RUN_ALL_TESTS();
}
