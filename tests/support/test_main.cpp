#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Headless: no window or sound device is opened by any test.
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    // Death tests re-run the test binary for the child, so the child starts
    // from a fresh process (the runtime lives once per process).
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
