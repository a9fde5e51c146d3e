// A temporary folder for one fuzz run, removed with everything in it when
// the run exits (a long fuzzing session would otherwise leave one behind per
// run).
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

// Makes "vessilo_fuzz_<name>_XXXXXX" on a memory file system when there is
// one (flushing costs nothing there), else in /tmp, and answers its path with a
// trailing slash, or an empty string when it cannot be made.
inline std::string makeFuzzTempFolder(const char* name) {
    // Plain storage: it must outlive every static destructor that runs
    // before the exit handler.
    static char made[512];
    const char* parent = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(parent) + "/vessilo_fuzz_" + name + "_XXXXXX";
    if (pattern.size() >= sizeof made || ::mkdtemp(pattern.data()) == nullptr) return {};
    if (made[0] == '\0') {
        std::memcpy(made, pattern.c_str(), pattern.size() + 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(made, ignored);
        });
    }
    return pattern + "/";
}
