// Test support for the window, the host bridge and whole program runs.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

// A wait for a real program (its window's pictures, its end), made longer
// where the program is built with the thread sanitizer: it runs many times
// slower there, and the sanitized tests beside it share the processors.
inline int realProgramWaitMs(int ms) {
#if defined(__SANITIZE_THREAD__)
    return ms * 4;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
    return ms * 4;
#endif
#endif
    return ms;
}

// Sets an environment variable (or unsets it, for a null value) for the
// life of the object, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
    ~ScopedEnv() {
        if (had_)
            ::setenv(name_.c_str(), old_.c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_, old_;
    bool had_ = false;
};

// Points the runtime folder (lock files, window registrations) at a fresh
// temporary folder for the life of the object.
class TestRuntimeFolder {
public:
    TestRuntimeFolder();
    ~TestRuntimeFolder();
    TestRuntimeFolder(const TestRuntimeFolder&) = delete;
    TestRuntimeFolder& operator=(const TestRuntimeFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string old_;
    bool hadOld_ = false;
};

// A whole program run in a child process: this test program started again
// with "--host-child <program folder>", which runs the host bridge as the
// program's main does (see RunHostChildIfAsked).
struct HostChild {
    int pid = -1;
    // Starts it with extra environment entries ("NAME=value"); the child's
    // standard output and error go to files in the program folder.
    bool start(const std::string& programFolder, const std::vector<std::string>& environment = {});
    // Waits up to the given time; the exit code, or -1 when it had to be
    // killed (or did not exit normally).
    int wait(int timeoutMs = 30000);
    std::string folder;
};

// Starts, waits for and returns the exit code of one child run.
int runHostChild(const std::string& programFolder, const std::vector<std::string>& environment = {},
                 int timeoutMs = 30000);

// The whole text of a file ("" when it cannot be read).
std::string readFile(const std::string& path);

// In the child: when argv asks for a host run, runs it (the event trace goes
// to "trace.txt" in the program folder) and gives true with the exit code.
bool RunHostChildIfAsked(int argc, char** argv, int* exitCode);

// Held by a test that drives a real window on the X server: tests of the
// same display wait for each other, so that no window takes another's focus
// or clicks while ctest runs them side by side.
class XDisplayLock {
public:
    XDisplayLock();
    ~XDisplayLock();
    XDisplayLock(const XDisplayLock&) = delete;
    XDisplayLock& operator=(const XDisplayLock&) = delete;

private:
    int fd = -1;
};
