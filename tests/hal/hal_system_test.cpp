// Process-wide services: fatal stop, console, memory, host callbacks.
#include "hal_system.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Points standard output's descriptor at another file for the scope.
class StdoutRedirect {
public:
    explicit StdoutRedirect(const char* path) {
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
    ~StdoutRedirect() {
        std::fflush(stdout);
        std::clearerr(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
    }

private:
    int saved_;
};

// A file name of this process's own in the shared temporary folder, so that
// parallel runs of the tests do not write to each other's files.
std::string tempPath(const char* name) { return testing::TempDir() + std::to_string(::getpid()) + "_" + name; }

TEST(HalSystemDeathTest, FatalErrorFlushesOutputAndExitsWithOne) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    // The child re-runs this test from the start: it takes the parent's file
    // name from the environment.
    if (std::getenv("VESSILO_FATAL_OUT") == nullptr)
        ::setenv("VESSILO_FATAL_OUT", tempPath("hal_fatal_out.txt").c_str(), 1);
    const std::string out = std::getenv("VESSILO_FATAL_OUT");
    EXPECT_EXIT(
        {
            std::freopen(out.c_str(), "w", stdout);
            std::setvbuf(stdout, nullptr, _IOFBF, 4096);
            std::fputs("pending text", stdout);
            HAL_setFatalHook([](const char* message) {
                std::fprintf(stderr, "hook saw [%s] recorded [%s]", message, HAL_lastFatalMessage());
            });
            HAL_fatalError("out of luck");
        },
        testing::ExitedWithCode(1), "hook saw \\[out of luck\\] recorded \\[out of luck\\]");
    EXPECT_EQ(readFile(out), "pending text");
    std::remove(out.c_str());
}

TEST(HalSystemTest, ConsoleWritesLowByteAndFlushesAtNewline) {
    std::string out = tempPath("hal_console_out.txt");
    {
        StdoutRedirect redirect(out.c_str());
        EXPECT_EQ(HAL_consoleWrite('h'), 0);
        EXPECT_EQ(HAL_consoleWrite(0x100 + 'i'), 0);
        EXPECT_EQ(HAL_consoleWrite('\n'), 0);
        EXPECT_EQ(readFile(out), "hi\n");  // already on disk, before any other flush
    }
    {
        StdoutRedirect redirect("/dev/full");
        EXPECT_EQ(HAL_consoleWrite('x'), 0);  // still buffered
        EXPECT_EQ(HAL_consoleWrite('\n'), 3);
    }
}

TEST(HalSystemTest, CountedAllocationIncludesHeaderAndRejectsOverflow) {
    uint64_t before = HAL_getAllocatedBytes();
    void* a = HAL_malloc(100);
    void* b = HAL_malloc(0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 16, 0u);
    EXPECT_EQ(HAL_getAllocatedBytes(), before + 116 + 16);
    HAL_free(a);
    EXPECT_EQ(HAL_getAllocatedBytes(), before + 16);
    HAL_free(b);
    HAL_free(nullptr);
    EXPECT_EQ(HAL_getAllocatedBytes(), before);

    EXPECT_EQ(HAL_malloc(std::numeric_limits<size_t>::max()), nullptr);
    EXPECT_EQ(HAL_malloc(std::numeric_limits<size_t>::max() - 15), nullptr);
    EXPECT_EQ(HAL_getAllocatedBytes(), before);
}

TEST(HalSystemTest, ReserveIsReleasedOnlyWhenAsked) {
    HAL_reserveMemory();
    HAL_reserveMemory();
    EXPECT_TRUE(HAL_hasMemoryReserve());
    void* kept = HAL_allocReleasingReserve(24, 0);
    EXPECT_TRUE(HAL_hasMemoryReserve());
    void* released = HAL_allocReleasingReserve(24, 1);
    EXPECT_FALSE(HAL_hasMemoryReserve());
    void* empty1 = HAL_allocReleasingReserve(0, 0);
    void* empty2 = HAL_allocReleasingReserve(0, 1);
    for (void* p : {kept, released, empty1, empty2}) {
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
    }
    EXPECT_NE(empty1, empty2);
    EXPECT_EQ(HAL_allocReleasingReserve(std::numeric_limits<size_t>::max(), 0), nullptr);
    HAL_freeBlock(kept, 24);
    HAL_freeBlock(released, 24);
    HAL_freeBlock(empty1, 0);
    HAL_freeBlock(empty2, 0);
    HAL_releaseMemoryReserve();
    HAL_compactHeap();
}

// Memory goes back to the system only once the blocks in use have shrunk to
// half or less of the most seen since the last time, by 8 MB or more; garbage
// made and dropped between two requests never pays for it.
TEST(HalSystemTest, HeapIsCompactedOnlyAfterALargeShrink) {
    constexpr size_t kMB = size_t(1) << 20;
    std::vector<void*> blocks;
    auto holdMB = [&](size_t n) {
        while (blocks.size() < n) blocks.push_back(HAL_allocReleasingReserve(kMB, 0));
        while (blocks.size() > n) {
            HAL_freeBlock(blocks.back(), kMB);
            blocks.pop_back();
        }
    };
    HAL_compactHeap();
    const uint32_t start = HAL_heapCompactions();
    struct Step {
        size_t heldMB;
        uint32_t compactions;
    } steps[] = {
        {32, 0},          // grown
        {20, 0},          // 12 MB less, not half
        {8, 1},           // a quarter of 32
        {8, 1},           // nothing new
        {14, 1},          // 6 MB less than 14 is not enough
        {8, 1},  {4, 2},  // 10 MB less than 14
    };
    for (const Step& step : steps) {
        holdMB(40);  // garbage between two requests
        holdMB(step.heldMB);
        HAL_compactHeap();
        EXPECT_EQ(HAL_heapCompactions() - start, step.compactions) << "holding " << step.heldMB << " MB";
    }
    holdMB(0);
}

TEST(HalSystemTest, ProgramDirectoryDefaultsToExecutableFolder) {
    char exe[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    std::string expected(exe);
    expected.resize(expected.rfind('/') + 1);
    EXPECT_EQ(std::string(HAL_programDirectory()), expected);

    std::string custom = "/tmp/elsewhere/";
    HAL_setProgramDirectory(custom.c_str());
    custom = "changed";  // the platform keeps a copy
    EXPECT_STREQ(HAL_programDirectory(), "/tmp/elsewhere/");
    HAL_setProgramDirectory(nullptr);
    EXPECT_EQ(std::string(HAL_programDirectory()), expected);
}

int g_enterCount = 0;

TEST(HalSystemTest, HostCallbacksAreCopied) {
    g_enterCount = 0;
    HAL_hostEnter();  // nothing installed: nothing happens
    HAL_HostCallbacks table;
    table.enter = [] {
        ++g_enterCount;
        return static_cast<void*>(nullptr);
    };
    HAL_setHostCallbacks(&table);
    table.enter = nullptr;
    HAL_hostEnter();
    EXPECT_EQ(g_enterCount, 1);
    EXPECT_NE(HAL_hostCallbacks().enter, nullptr);
    HAL_setHostCallbacks(nullptr);
    HAL_hostEnter();
    EXPECT_EQ(g_enterCount, 1);
    EXPECT_EQ(HAL_hostCallbacks().enter, nullptr);
}

}  // namespace
