#include "host_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "VMRuntime.h"
#include "ce_window.h"
#include "hal.h"

extern char** environ;

TestRuntimeFolder::TestRuntimeFolder() {
    std::string pattern = ::testing::TempDir() + "vessilo_runtime_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
    path_ = pattern + "/";
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
        hadOld_ = true;
        old_ = old;
    }
    ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
}

TestRuntimeFolder::~TestRuntimeFolder() {
    if (hadOld_)
        ::setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool HostChild::start(const std::string& programFolder, const std::vector<std::string>& environment) {
    folder = programFolder;
    // The environment: ours, with the given entries replacing or adding.
    std::map<std::string, std::string> entries;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        entries[entry.substr(0, entry.find('='))] = entry;
    }
    for (const std::string& entry : environment) entries[entry.substr(0, entry.find('='))] = entry;
    std::vector<std::string> envStrings;
    for (auto& [name, entry] : entries) envStrings.push_back(entry);
    std::vector<char*> envp;
    for (std::string& entry : envStrings) envp.push_back(entry.data());
    envp.push_back(nullptr);

    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return false;
    std::string program = self, flag = "--host-child", dir = programFolder;
    char* argv[] = {program.data(), flag.data(), dir.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::string out = programFolder + "stdout.txt", err = programFolder + "stderr.txt";
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    int result = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) return false;
    pid = child;
    return true;
}

int HostChild::wait(int timeoutMs) {
    if (pid <= 0) return -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (done < 0) return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            pid = -1;
            ADD_FAILURE() << "the program run in " << folder << " did not end within " << timeoutMs << " ms";
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int runHostChild(const std::string& programFolder, const std::vector<std::string>& environment, int timeoutMs) {
    HostChild child;
    if (!child.start(programFolder, environment)) return -1;
    return child.wait(timeoutMs);
}

namespace {

FILE* g_trace = nullptr;

void writeTrace(int type, int count, const intptr_t* args, bool dropped) {
    if (!g_trace) return;
    std::fprintf(g_trace, "event %d", type);
    for (int i = 0; i < count && args; ++i) {
        // Argument words that are object addresses say nothing to a test.
        if (type == 5 || type == 6)
            std::fprintf(g_trace, i == 0 ? " <object>" : " %ld", static_cast<long>(args[i]));
        else
            std::fprintf(g_trace, " %ld", static_cast<long>(args[i]));
    }
    std::fprintf(g_trace, "%s\n", dropped ? " dropped" : "");
    std::fflush(g_trace);
}

}  // namespace

bool RunHostChildIfAsked(int argc, char** argv, int* exitCode) {
    if (argc < 3 || std::strcmp(argv[1], "--host-child") != 0) return false;
    std::string folder = argv[2];
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    HAL_setProgramDirectory(folder.c_str());
    g_trace = std::fopen((folder + "trace.txt").c_str(), "w");
    HAL_setEventTraceSink(writeTrace);
    _VM_installHostCallbacks();
    *exitCode = WinMain(nullptr, nullptr, nullptr, ce::SW_SHOWNORMAL);
    HAL_setEventTraceSink(nullptr);
    if (g_trace) std::fclose(g_trace);
    std::fflush(nullptr);
    return true;
}

XDisplayLock::XDisplayLock() {
    const char* display = std::getenv("DISPLAY");
    std::string name = "/tmp/vessilo-x-display-";
    for (const char* c = display ? display : ""; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) ::flock(fd, LOCK_EX);
}

XDisplayLock::~XDisplayLock() {
    if (fd >= 0) ::close(fd);
}
