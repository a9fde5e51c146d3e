// The desktop session as the program's start finds it (see ce_window.h).
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ce_internal.h"
#include "ce_window.h"

extern char** environ;

namespace ce {

namespace {

// A variable set here for the desktop libraries this process loads, with what
// the environment held before; children get that back.
struct Setting {
    std::string name;
    std::string value;
    std::optional<std::string> before;
};

std::mutex g_settingsMutex;
std::vector<Setting> g_settings;

void setForThisProcess(const char* name, const std::string& value) {
    std::lock_guard<std::mutex> guard(g_settingsMutex);
    const char* current = std::getenv(name);
    if (current && value == current) return;  // set here before, or already so
    Setting setting{name, value, current ? std::optional<std::string>(current) : std::nullopt};
    std::erase_if(g_settings, [name](const Setting& s) { return s.name == name; });
    g_settings.push_back(setting);
    ::setenv(name, value.c_str(), 1);
}

bool isSocket(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

void PrepareDesktopStart() {
    // No session bus (no address given, none at its usual place): libdbus
    // would then start `dbus-launch` to make one, a fork and exec of a
    // process that waits before the window opens (or fails to exist, after a
    // walk of the PATH), and may leave a bus daemon behind. With nothing to
    // talk to, SDL's uses of the bus (keeping the screensaver off, an input
    // method over the bus) are lost either way: an address that cannot be
    // reached makes libdbus say so at once instead.
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        const std::string bus = std::string(runtime && *runtime ? runtime : "/nonexistent") + "/bus";
        if (!isSocket(bus)) setForThisProcess("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + bus);
    }
    // Xlib's input method reads the locale's whole Compose table (some
    // 6000 lines for UTF-8 locales) when SDL opens the window: about a third
    // of the processor time before the first frame. The program reads keys,
    // never composed text, so an empty table loses nothing, and keys that
    // would start a sequence reach it as they are.
    setForThisProcess("XCOMPOSEFILE", "/dev/null");
}

namespace detail {

std::vector<std::string> ChildEnvironment() {
    std::lock_guard<std::mutex> guard(g_settingsMutex);
    std::vector<std::string> entries;
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        const std::string name(*entry, equals ? static_cast<size_t>(equals - *entry) : std::strlen(*entry));
        const Setting* ours = nullptr;
        for (const Setting& s : g_settings)
            if (s.name == name && equals && s.value == equals + 1) ours = &s;
        if (!ours)
            entries.emplace_back(*entry);
        else if (ours->before)
            entries.push_back(name + "=" + *ours->before);
    }
    return entries;
}

}  // namespace detail

}  // namespace ce
