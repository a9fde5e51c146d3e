// The shell: opens http and https URLs with the desktop's opener.
#include "ce_shell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "VMUtf8.h"
#include "ce_internal.h"

namespace ce {

namespace {

bool equalsIgnoringCase(const std::string& text, const char* expected) {
    size_t i = 0;
    for (; expected[i] != 0; ++i) {
        if (i >= text.size()) return false;
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != expected[i]) return false;
    }
    return i == text.size();
}

bool startsWithIgnoringCase(const std::string& text, const char* prefix) {
    size_t n = std::char_traits<char>::length(prefix);
    return text.size() >= n && equalsIgnoringCase(text.substr(0, n), prefix);
}

bool isWebURL(const std::string& url) {
    size_t schemeLength = startsWithIgnoringCase(url, "http://") ? 7 : startsWithIgnoringCase(url, "https://") ? 8 : 0;
    if (schemeLength == 0 || url.size() == schemeLength) return false;
    // One argument of plain text: no control characters, nothing that a
    // receiving program could read as more than a URL.
    for (unsigned char c : url) {
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

bool isBrowser(const std::string& file) {
    size_t slash = file.find_last_of("\\/");
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    return equalsIgnoringCase(name, "iexplore.exe") || equalsIgnoringCase(name, "iexplore");
}

// Starts the opener on the URL and gives it a moment to hand the URL on.
bool openWithDesktop(const std::string& url) {
    const char* opener = std::getenv("VESSILO_URL_OPENER");
    if (!opener || !*opener) opener = "xdg-open";
    std::string program = opener;
    std::string argument = url;
    char* argv[] = {program.data(), argument.data(), nullptr};
    std::vector<std::string> environment = detail::ChildEnvironment();
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return false;
    // xdg-open returns once the browser has the URL; do not hang on one that
    // keeps running.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        int status = 0;
        pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 || std::chrono::steady_clock::now() > deadline) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
    if (!info || !info->lpFile) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string file = _VM_utf8ForHost(info->lpFile);
    std::string url;
    if (isBrowser(file)) {
        url = _VM_utf8ForHost(info->lpParameters);
    } else if (file.find("://") != std::string::npos) {
        url = file;
    } else {
        SetLastError(ERROR_NO_ASSOCIATION);
        return FALSE;
    }
    if (!isWebURL(url)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!openWithDesktop(url)) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return FALSE;
    }
    return TRUE;
}

}  // namespace ce
