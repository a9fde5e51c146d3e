// Kernel objects: the handle table, named mutexes as lock files, events, the
// thread's last error.
#include "ce_sync.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <string>

#include "VMUtf8.h"
#include "ce_internal.h"

namespace ce {

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

// --- the handle table ---------------------------------------------------------
std::mutex g_tableMutex;
std::map<uintptr_t, std::shared_ptr<detail::KernelObject>> g_table;
uintptr_t g_nextHandle = 0x1000;  // multiples of 4, never 0

struct MutexObject : detail::KernelObject {
    int fd = -1;  // the lock file, locked by this handle when `owner`
    bool owner = false;
    void close() override {
        if (fd >= 0) ::close(fd);  // closing gives the lock up
        fd = -1;
    }
    ~MutexObject() override { close(); }
};

struct EventObject : detail::KernelObject {
    bool manualReset = false;
    std::atomic<bool> signalled{false};
};

std::mutex g_wakeMutex;
std::condition_variable g_wakeCondition;
uint64_t g_wakeSequence = 0;

}  // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD error) { t_lastError = error; }

DWORD GetTickCount() {
    using namespace std::chrono;
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace detail {

HANDLE AddObject(std::shared_ptr<KernelObject> object) {
    std::lock_guard<std::mutex> guard(g_tableMutex);
    uintptr_t value = g_nextHandle;
    g_nextHandle += 4;
    g_table[value] = std::move(object);
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> FindObject(HANDLE handle) {
    std::lock_guard<std::mutex> guard(g_tableMutex);
    auto it = g_table.find(reinterpret_cast<uintptr_t>(handle));
    return it == g_table.end() ? nullptr : it->second;
}

bool RemoveObject(HANDLE handle) {
    std::shared_ptr<KernelObject> object;
    {
        std::lock_guard<std::mutex> guard(g_tableMutex);
        auto it = g_table.find(reinterpret_cast<uintptr_t>(handle));
        if (it == g_table.end()) return false;
        object = std::move(it->second);
        g_table.erase(it);
    }
    object->close();
    return true;
}

std::mutex& WakeMutex() { return g_wakeMutex; }
std::condition_variable& WakeCondition() { return g_wakeCondition; }

uint64_t& WakeSequence() { return g_wakeSequence; }

void Wake() {
    {
        std::lock_guard<std::mutex> guard(g_wakeMutex);
        ++g_wakeSequence;
    }
    g_wakeCondition.notify_all();
}

bool ConsumeEvent(HANDLE handle) {
    auto event = Find<EventObject>(handle);
    if (!event) return false;
    if (event->manualReset) return event->signalled.load();
    bool expected = true;
    return event->signalled.compare_exchange_strong(expected, false);
}

std::string FileSafe(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
            c == '-') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    // "." and ".." are folder names, not file names.
    if (out == "." || out == "..") out = "%2E" + out.substr(1);
    return out;
}

}  // namespace detail

const char* RuntimeFolder() {
    // Read each time: tests point it at a folder of their own.
    thread_local std::string folder;
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    struct stat info;
    if (xdg && *xdg && ::stat(xdg, &info) == 0 && S_ISDIR(info.st_mode)) {
        folder = xdg;
    } else {
        folder = "/tmp/vessilo-" + std::to_string(::getuid());
        ::mkdir(folder.c_str(), 0700);
    }
    if (folder.back() != '/') folder.push_back('/');
    return folder.c_str();
}

HANDLE CreateMutexW(void* attributes, BOOL initialOwner, const char16_t* name) {
    (void)attributes;
    (void)initialOwner;
    auto mutex = std::make_shared<MutexObject>();
    if (name && *name) {
        std::string path = std::string(RuntimeFolder()) + "vessilo-mutex-" + detail::FileSafe(_VM_utf8ForHost(name));
        mutex->fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (mutex->fd < 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        mutex->owner = ::flock(mutex->fd, LOCK_EX | LOCK_NB) == 0;
        HANDLE handle = detail::AddObject(mutex);
        SetLastError(mutex->owner ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS);
        return handle;
    }
    HANDLE handle = detail::AddObject(mutex);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

HANDLE CreateEventW(void* attributes, BOOL manualReset, BOOL initialState, const char16_t* name) {
    (void)attributes;
    (void)name;
    auto event = std::make_shared<EventObject>();
    event->manualReset = manualReset != FALSE;
    event->signalled = initialState != FALSE;
    SetLastError(ERROR_SUCCESS);
    return detail::AddObject(event);
}

BOOL SetEvent(HANDLE handle) {
    auto event = detail::Find<EventObject>(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    event->signalled = true;
    detail::Wake();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
    auto event = detail::Find<EventObject>(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    event->signalled = false;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD timeout) {
    if (!detail::Find<EventObject>(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
    std::unique_lock<std::mutex> guard(g_wakeMutex);
    for (;;) {
        if (detail::ConsumeEvent(handle)) return WAIT_OBJECT_0;
        if (timeout == INFINITE) {
            g_wakeCondition.wait(guard);
        } else if (g_wakeCondition.wait_until(guard, deadline) == std::cv_status::timeout) {
            return detail::ConsumeEvent(handle) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
        }
    }
}

BOOL CloseHandle(HANDLE handle) {
    if (!detail::RemoveObject(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace ce
