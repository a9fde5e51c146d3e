// Windows and messages over SDL2 (see ce_window.h).
#include "ce_window.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

#include "VMUtf8.h"
#include "ce_internal.h"
#include "ce_sync.h"

namespace ce {

namespace {

using Clock = std::chrono::steady_clock;

// Input is looked at at least this often while the window's thread waits
// for messages. Where the desktop's connection wakes the thread when input
// comes (X), this only bounds what comes otherwise (a raise asked for by a
// signal, a quit signal SDL noted): 100 ms, where looking every 8 ms woke the
// thread 125 times a second, about a fifth of the program's processor time in
// a menu with the music on. Else SDL's events are polled: 8 ms is half a frame
// at 60 frames a second; at 5 ms the polling's wake-ups took about a tenth of
// the program's processor time in a menu.
constexpr auto kInputSlice = std::chrono::milliseconds(8);
constexpr auto kWatchedInputSlice = std::chrono::milliseconds(100);

std::chrono::milliseconds inputSlice() {
    return detail::InputWakesWindowThread() ? kWatchedInputSlice : kInputSlice;
}

// --- windows -----------------------------------------------------------------------

struct Window {
    uintptr_t handle = 0;
    // A window of another instance, found through its registration.
    bool remote = false;
    pid_t pid = 0;

    std::u16string className;
    std::u16string name;
    WNDPROC procedure = nullptr;
    LPARAM userData = 0;
    bool invalid = false;
    bool destroying = false;
    UINT heldBackKey = 0;  // for ImmGetVirtualKey
    int registrationFd = -1;
    std::string registrationPath;
};

std::mutex g_windowsMutex;
std::map<uintptr_t, std::shared_ptr<Window>> g_windows;
std::map<std::u16string, WNDCLASSW> g_classes;
uintptr_t g_nextWindow = 0x10010;  // multiples of 16: the low bit is free for callers

// The local window (there is at most one) and its desktop window; touched
// only on the thread that created it, except for the handle.
SDL_Window* g_sdlWindow = nullptr;
std::thread::id g_windowThread;
std::atomic<uintptr_t> g_localWindow{0};
std::map<SDL_Scancode, UINT> g_keysDown;  // the virtual key sent for each held key

std::atomic<bool> g_raiseRequested{false};
// The window or the display went away; its close was posted once.
bool g_lossPosted = false;
std::atomic<uint64_t> g_foregroundRequests{0};

std::shared_ptr<Window> findWindow(HWND handle) {
    std::lock_guard<std::mutex> guard(g_windowsMutex);
    auto it = g_windows.find(reinterpret_cast<uintptr_t>(handle));
    return it == g_windows.end() ? nullptr : it->second;
}

std::shared_ptr<Window> findLocalWindow(HWND handle) {
    auto window = findWindow(handle);
    return window && !window->remote ? window : nullptr;
}

HWND toHandle(uintptr_t value) { return reinterpret_cast<HWND>(value); }

// --- the message queue (guarded by detail::WakeMutex()) ------------------------------

struct Timer {
    UINT period = 0;
    Clock::time_point due;
    TIMERPROC routine = nullptr;
};

std::deque<MSG> g_queue;
bool g_quitPosted = false;
int g_quitCode = 0;
std::map<std::pair<uintptr_t, uintptr_t>, Timer> g_timers;

bool inRange(UINT message, UINT first, UINT last) {
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

// Queues a message; the caller holds WakeMutex.
void queueLocked(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    g_queue.push_back(msg);
    ++detail::WakeSequence();
}

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> guard(detail::WakeMutex());
        queueLocked(window, message, wParam, lParam);
    }
    detail::WakeCondition().notify_all();
}

// --- input -------------------------------------------------------------------------

LPARAM pointParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x));
}

// Desktop-window pixels to client-area pixels.
void toClient(int x, int y, int* clientX, int* clientY) {
    int width = 0, height = 0;
    if (g_sdlWindow) SDL_GetWindowSize(g_sdlWindow, &width, &height);
    if (width <= 0 || height <= 0) {
        *clientX = x;
        *clientY = y;
        return;
    }
    // The client area keeps its proportions inside the window (see
    // ShowFrame): undo the same fit.
    int areaWidth = width, areaHeight = height, left = 0, top = 0;
    if (static_cast<int64_t>(width) * kScreenHeight > static_cast<int64_t>(height) * kScreenWidth) {
        areaWidth = height * kScreenWidth / kScreenHeight;
        left = (width - areaWidth) / 2;
    } else {
        areaHeight = width * kScreenHeight / kScreenWidth;
        top = (height - areaHeight) / 2;
    }
    if (areaWidth <= 0 || areaHeight <= 0) areaWidth = areaHeight = 1;
    *clientX = static_cast<int>(static_cast<int64_t>(x - left) * kScreenWidth / areaWidth);
    *clientY = static_cast<int>(static_cast<int64_t>(y - top) * kScreenHeight / areaHeight);
}

UINT virtualKey(const SDL_Keysym& key) {
    const bool shift = (key.mod & KMOD_SHIFT) != 0;
    switch (key.sym) {
        case SDLK_UP: return VK_UP;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE: return VK_RETURN;
        case SDLK_F1: return VK_F1;
        case SDLK_F2: return VK_F2;
        case SDLK_ASTERISK:
        case SDLK_KP_MULTIPLY: return VK_TSTAR;
        case SDLK_HASH:
        case SDLK_KP_HASH: return VK_TPOUND;
        case SDLK_8: return shift ? VK_TSTAR : '8';
        case SDLK_3: return shift ? VK_TPOUND : '3';
        case SDLK_KP_0: return '0';
        default: break;
    }
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9) return static_cast<UINT>('0' + (key.sym - SDLK_0));
    if (key.sym >= SDLK_KP_1 && key.sym <= SDLK_KP_9) return static_cast<UINT>('1' + (key.sym - SDLK_KP_1));
    return 0;
}

// The SDL event type that carries a key held back by the input method
// (tests inject it, so that it keeps its place among the other input).
Uint32 heldBackKeyEvent() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

void translate(const SDL_Event& event, HWND window) {
    detail::NoteDesktopEvent(event);
    if (event.type == heldBackKeyEvent() && event.type != static_cast<Uint32>(-1)) {
        if (auto target = findLocalWindow(window)) {
            target->heldBackKey = static_cast<UINT>(event.user.code);
            post(window, WM_KEYDOWN, VK_PROCESSKEY, 1);
        }
        return;
    }
    switch (event.type) {
        case SDL_KEYDOWN: {
            UINT vk = virtualKey(event.key.keysym);
            if (event.key.repeat) {
                auto held = g_keysDown.find(event.key.keysym.scancode);
                if (held != g_keysDown.end()) vk = held->second;
            }
            if (vk == 0) break;
            g_keysDown[event.key.keysym.scancode] = vk;
            post(window, WM_KEYDOWN, vk, event.key.repeat ? (1 | (1 << 30)) : 1);
            break;
        }
        case SDL_KEYUP: {
            // The key that went down, even when a modifier changed since.
            UINT vk = virtualKey(event.key.keysym);
            auto held = g_keysDown.find(event.key.keysym.scancode);
            if (held != g_keysDown.end()) {
                vk = held->second;
                g_keysDown.erase(held);
            }
            if (vk == 0) break;
            post(window, WM_KEYUP, vk, static_cast<LPARAM>(1u | (1u << 30) | (1u << 31)));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (event.button.button != SDL_BUTTON_LEFT) break;
            int x = 0, y = 0;
            toClient(event.button.x, event.button.y, &x, &y);
            bool down = event.type == SDL_MOUSEBUTTONDOWN;
            post(window, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0, pointParam(x, y));
            break;
        }
        case SDL_MOUSEMOTION: {
            // A stylus has no hover: only drags are passed on.
            if ((event.motion.state & SDL_BUTTON_LMASK) == 0) break;
            int x = 0, y = 0;
            toClient(event.motion.x, event.motion.y, &x, &y);
            post(window, WM_MOUSEMOVE, MK_LBUTTON, pointParam(x, y));
            break;
        }
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED: post(window, WM_ACTIVATE, WA_ACTIVE, 0); break;
                case SDL_WINDOWEVENT_FOCUS_LOST: post(window, WM_ACTIVATE, WA_INACTIVE, 0); break;
                case SDL_WINDOWEVENT_CLOSE: post(window, WM_CLOSE, 0, 0); break;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED: detail::ShowFrame(true); break;
                default: break;
            }
            break;
        case SDL_QUIT: post(window, WM_CLOSE, 0, 0); break;
        default: break;
    }
}

// Turns the desktop's input into messages and shows a new frame; only the
// window's own thread does this.
void pumpInput() {
    if (!detail::IsWindowThread()) return;
    HWND window = toHandle(g_localWindow.load());
    // A window destroyed from outside or a display that went away ends the
    // program as a close request does; a lost display is not asked for
    // anything again.
    if (detail::DisplayGone() || detail::WindowGone()) {
        if (!g_lossPosted) {
            g_lossPosted = true;
            if (detail::DisplayGone()) detail::SetFrameTarget(nullptr);
            post(window, WM_CLOSE, 0, 0);
        }
        if (detail::DisplayGone()) return;
    }
    if (g_raiseRequested.exchange(false)) {
        SDL_ShowWindow(g_sdlWindow);
        SDL_RaiseWindow(g_sdlWindow);
    }
    detail::FollowWindow(g_sdlWindow);
    // The frame first: the answers its requests wait for may bring input
    // along, which the events below then take, so that nothing is left
    // unread while the thread sleeps.
    detail::ShowFrame(false);
    SDL_Event event;
    while (SDL_PollEvent(&event)) translate(event, window);
    detail::NotePumped();
}

// --- registration, for FindWindowW in other processes ---------------------------------

std::string registrationPath(const std::u16string& className) {
    return std::string(RuntimeFolder()) + "vessilo-window-" + detail::FileSafe(_VM_utf8ForHost(className.c_str()));
}

// The file names the owner's process and the window name; the owner holds a
// shared lock on it for as long as the window exists, so a file left behind
// by a process that died is recognised.
void registerWindow(Window* window) {
    window->registrationPath = registrationPath(window->className);
    int fd = ::open(window->registrationPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return;
    }
    std::string content = std::to_string(::getpid()) + "\n" + _VM_utf8ForHost(window->name.c_str()) + "\n";
    if (::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size())) {
        ::close(fd);
        return;
    }
    window->registrationFd = fd;
}

void unregisterWindow(Window* window) {
    if (window->registrationFd < 0) return;
    ::unlink(window->registrationPath.c_str());
    ::close(window->registrationFd);
    window->registrationFd = -1;
}

void onRaiseSignal(int) {
    g_raiseRequested = true;
    g_foregroundRequests.fetch_add(1);
}

void installRaiseSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = onRaiseSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGUSR1, &action, nullptr);
    });
}

// The window size: the screen times the largest integer factor that fits the
// desktop, or scaled down to fit.
void chooseWindowSize(int* width, int* height) {
    *width = kScreenWidth;
    *height = kScreenHeight;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return;
    int factor = std::min(usable.w / kScreenWidth, usable.h / kScreenHeight);
    if (factor >= 1) {
        *width = kScreenWidth * factor;
        *height = kScreenHeight * factor;
    } else if (static_cast<int64_t>(usable.w) * kScreenHeight < static_cast<int64_t>(usable.h) * kScreenWidth) {
        *width = usable.w;
        *height = usable.w * kScreenHeight / kScreenWidth;
    } else {
        *height = usable.h;
        *width = usable.h * kScreenWidth / kScreenHeight;
    }
}

}  // namespace

bool detail::IsWindowThread() { return g_sdlWindow && std::this_thread::get_id() == g_windowThread; }

// --- classes and windows -----------------------------------------------------------

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc || !*windowClass->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> guard(g_windowsMutex);
    auto [it, added] = g_classes.emplace(windowClass->lpszClassName, *windowClass);
    if (!added) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return static_cast<ATOM>(0xC000 + g_classes.size());
}

BOOL UnregisterClassW(const char16_t* className, HINSTANCE instance) {
    (void)instance;
    std::lock_guard<std::mutex> guard(g_windowsMutex);
    if (!className || g_classes.erase(className) == 0) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    return TRUE;
}

HWND CreateWindowW(const char16_t* className, const char16_t* windowName, DWORD style, int x, int y, int width,
                   int height, HWND parent, void* menu, HINSTANCE instance, void* parameter) {
    (void)style, (void)x, (void)y, (void)width, (void)height, (void)parent, (void)menu, (void)instance;
    (void)parameter;
    auto window = std::make_shared<Window>();
    {
        std::lock_guard<std::mutex> guard(g_windowsMutex);
        auto found = className ? g_classes.find(className) : g_classes.end();
        if (found == g_classes.end()) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        if (g_localWindow.load() != 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        window->className = className;
        window->name = windowName ? windowName : u"";
        window->procedure = found->second.lpfnWndProc;
    }

    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The window shows its picture through the desktop's own framebuffer
    // (on X, shared-memory images), not through an OpenGL texture. Our
    // renderer draws and scales every frame in any case, so GL would only
    // carry a finished frame to the screen. Where no GPU serves (virtual
    // machines, remote desktops, machines without drivers) SDL still takes
    // Mesa's software GL for accelerated. Measured under Xvfb
    // (bench/window_paths.sh, music on): GL took 1.9 % of a core in the
    // menu and 3.3 % in a level, 145-151 MB resident and a first frame after
    // about 130 ms; the framebuffer takes 1.4 % and 2.0 %, 49-55 MB and
    // about 45 ms. SDL's software renderer ("software") measured as the
    // framebuffer does, with one more copy in between. Where a GPU serves,
    // uploading the frame to a texture costs about what the shared-memory
    // copy costs, and the GL driver's probe at start-up and its resident
    // size are saved. The environment variable SDL_FRAMEBUFFER_ACCELERATION
    // still overrides this choice.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vessilo: cannot open a window: %s\n", SDL_GetError());
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    int windowWidth = 0, windowHeight = 0;
    chooseWindowSize(&windowWidth, &windowHeight);
    std::string title = _VM_utf8ForHost(window->name.c_str());
    SDL_Window* sdl = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth,
                                       windowHeight, SDL_WINDOW_HIDDEN);
    if (!sdl) {
        std::fprintf(stderr, "vessilo: cannot open a window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    g_sdlWindow = sdl;
    g_windowThread = std::this_thread::get_id();
    g_keysDown.clear();
    g_lossPosted = false;
    detail::SetFrameTarget(sdl);
    detail::WatchDisplay(sdl);
    installRaiseSignal();

    {
        std::lock_guard<std::mutex> guard(g_windowsMutex);
        window->handle = g_nextWindow;
        g_nextWindow += 16;
        g_windows[window->handle] = window;
    }
    g_localWindow = window->handle;
    HWND handle = toHandle(window->handle);
    registerWindow(window.get());
    if (window->procedure(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    auto window = findLocalWindow(handle);
    if (!window || window->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    window->destroying = true;
    window->procedure(handle, WM_DESTROY, 0, 0);
    {
        std::lock_guard<std::mutex> guard(g_windowsMutex);
        g_windows.erase(window->handle);
    }
    {
        std::lock_guard<std::mutex> guard(detail::WakeMutex());
        std::erase_if(g_queue, [handle](const MSG& msg) { return msg.hwnd == handle; });
        std::erase_if(g_timers, [window](const auto& entry) { return entry.first.first == window->handle; });
        ++detail::WakeSequence();
    }
    detail::WakeCondition().notify_all();
    unregisterWindow(window.get());
    if (g_localWindow.load() == window->handle) {
        g_localWindow = 0;
        detail::SetFrameTarget(nullptr);
        // Over a connection that broke, SDL's closing requests would go
        // nowhere (and a GL driver may not survive them): the window is left
        // to the process's end.
        if (!detail::DisplayGone()) {
            if (g_sdlWindow) SDL_DestroyWindow(g_sdlWindow);
            detail::UnwatchDisplay();
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        } else {
            detail::UnwatchDisplay();
        }
        g_sdlWindow = nullptr;
    }
    return TRUE;
}

BOOL IsWindow(HWND window) { return findWindow(window) ? TRUE : FALSE; }

bool DisplayLost() { return detail::DisplayGone(); }

BOOL ShowWindow(HWND handle, int command) {
    auto window = findWindow(handle);
    if (!window) return FALSE;
    if (window->remote || !g_sdlWindow || detail::DisplayGone()) return TRUE;
    if (command == SW_HIDE) {
        SDL_HideWindow(g_sdlWindow);
    } else {
        SDL_ShowWindow(g_sdlWindow);
        detail::ShowFrame(true);
    }
    return TRUE;
}

BOOL IsWindowEnabled(HWND window) { return findWindow(window) ? TRUE : FALSE; }

BOOL SetForegroundWindow(HWND handle) {
    auto window = findWindow(toHandle(reinterpret_cast<uintptr_t>(handle) & ~uintptr_t(1)));
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!window->remote) {
        g_foregroundRequests.fetch_add(1);
        g_raiseRequested = true;
        detail::Wake();
        return TRUE;
    }
    return ::kill(window->pid, SIGUSR1) == 0 ? TRUE : FALSE;
}

HWND FindWindowW(const char16_t* className, const char16_t* windowName) {
    if (!className || !*className) return nullptr;
    {
        std::lock_guard<std::mutex> guard(g_windowsMutex);
        for (const auto& [value, window] : g_windows) {
            if (!window->remote && window->className == className && (!windowName || window->name == windowName))
                return toHandle(value);
        }
    }
    // Another process's window: its registration must still be held by it.
    std::string path = registrationPath(className);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    std::string content;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 && content.size() < 4096) content.append(buffer, n);
    ::close(fd);
    if (!held) return nullptr;
    std::istringstream lines(content);
    std::string pidText, name;
    std::getline(lines, pidText);
    std::getline(lines, name);
    char* end = nullptr;
    long pid = std::strtol(pidText.c_str(), &end, 10);
    if (!end || *end != 0 || pid <= 0 || pid == ::getpid()) return nullptr;
    if (windowName && _VM_utf8ForHost(windowName) != name) return nullptr;

    std::lock_guard<std::mutex> guard(g_windowsMutex);
    for (const auto& [value, window] : g_windows) {
        if (window->remote && window->pid == pid && window->className == className) return toHandle(value);
    }
    auto remote = std::make_shared<Window>();
    remote->remote = true;
    remote->pid = static_cast<pid_t>(pid);
    remote->className = className;
    remote->handle = g_nextWindow;
    g_nextWindow += 16;
    g_windows[remote->handle] = remote;
    return toHandle(remote->handle);
}

int GetWindowTextW(HWND handle, char16_t* buffer, int room) {
    auto window = findWindow(handle);
    if (!window || !buffer || room <= 0) return 0;
    int n = static_cast<int>(std::min<size_t>(window->name.size(), static_cast<size_t>(room - 1)));
    std::copy(window->name.begin(), window->name.begin() + n, buffer);
    buffer[n] = 0;
    return n;
}

LPARAM SetWindowLongW(HWND handle, int index, LPARAM value) {
    auto window = findLocalWindow(handle);
    if (!window || index != GWL_USERDATA) {
        SetLastError(window ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::lock_guard<std::mutex> guard(g_windowsMutex);
    LPARAM previous = window->userData;
    window->userData = value;
    return previous;
}

LPARAM GetWindowLongW(HWND handle, int index) {
    auto window = findLocalWindow(handle);
    if (!window || index != GWL_USERDATA) {
        SetLastError(window ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::lock_guard<std::mutex> guard(g_windowsMutex);
    return window->userData;
}

BOOL InvalidateRect(HWND handle, const void* rect, BOOL erase) {
    (void)rect;
    (void)erase;
    auto window = findLocalWindow(handle);
    if (!window) return FALSE;
    window->invalid = true;
    return TRUE;
}

BOOL UpdateWindow(HWND handle) {
    auto window = findLocalWindow(handle);
    if (!window) return FALSE;
    if (window->invalid) {
        window->invalid = false;
        window->procedure(handle, WM_PAINT, 0, 0);
        if (std::this_thread::get_id() == g_windowThread) detail::ShowFrame(true);
    }
    return TRUE;
}

LRESULT SendMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto window = findLocalWindow(handle);
    return window ? window->procedure(handle, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    (void)lParam;
    if (message == WM_CLOSE) DestroyWindow(handle);
    return 0;
}

// --- the message queue -------------------------------------------------------------

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !findLocalWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    post(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    {
        std::lock_guard<std::mutex> guard(detail::WakeMutex());
        g_quitPosted = true;
        g_quitCode = exitCode;
        ++detail::WakeSequence();
    }
    detail::WakeCondition().notify_all();
}

namespace {

// Looks for a message under WakeMutex; `sequence` gets the wake count seen.
bool peekLocked(MSG* msg, HWND window, UINT first, UINT last, bool remove) {
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if ((window == nullptr || it->hwnd == window) && inRange(it->message, first, last)) {
            *msg = *it;
            if (remove) g_queue.erase(it);
            return true;
        }
    }
    if (inRange(WM_TIMER, first, last)) {
        const auto now = Clock::now();
        for (auto& [key, timer] : g_timers) {
            if ((window == nullptr || key.first == reinterpret_cast<uintptr_t>(window)) && timer.due <= now) {
                *msg = MSG{};
                msg->hwnd = toHandle(key.first);
                msg->message = WM_TIMER;
                msg->wParam = key.second;
                msg->lParam = reinterpret_cast<LPARAM>(timer.routine);
                msg->time = GetTickCount();
                if (remove) timer.due = now + std::chrono::milliseconds(timer.period);
                return true;
            }
        }
    }
    if (g_quitPosted && inRange(WM_QUIT, first, last)) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(static_cast<intptr_t>(g_quitCode));
        if (remove) g_quitPosted = false;
        return true;
    }
    return false;
}

// When the next timer is due (far away when none runs); under WakeMutex.
Clock::time_point nextTimerLocked() {
    auto next = Clock::time_point::max();
    for (const auto& entry : g_timers) next = std::min(next, entry.second.due);
    return next;
}

}  // namespace

BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT remove) {
    if (!message) return FALSE;
    pumpInput();
    std::lock_guard<std::mutex> guard(detail::WakeMutex());
    return peekLocked(message, window, first, last, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last) {
    if (!message) return -1;
    for (;;) {
        if (window && !findLocalWindow(window)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
        pumpInput();
        std::unique_lock<std::mutex> guard(detail::WakeMutex());
        if (peekLocked(message, window, first, last, true)) return message->message == WM_QUIT ? 0 : 1;
        const uint64_t seen = detail::WakeSequence();
        auto until = nextTimerLocked();
        if (detail::IsWindowThread()) until = std::min(until, Clock::now() + inputSlice());
        auto changed = [&] { return detail::WakeSequence() != seen; };
        if (until == Clock::time_point::max())
            detail::WakeCondition().wait(guard, changed);
        else
            detail::WakeCondition().wait_until(guard, until, changed);
    }
}

BOOL TranslateMessage(const MSG* message) {
    if (!message || message->message != WM_KEYDOWN) return FALSE;
    char16_t character = 0;
    if (message->wParam >= '0' && message->wParam <= '9')
        character = static_cast<char16_t>(message->wParam);
    else if (message->wParam == VK_TSTAR)
        character = u'*';
    else if (message->wParam == VK_TPOUND)
        character = u'#';
    if (character == 0) return FALSE;
    post(message->hwnd, WM_CHAR, character, message->lParam);
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* message) {
    if (!message) return 0;
    if (message->message == WM_TIMER && message->lParam != 0) {
        reinterpret_cast<TIMERPROC>(message->lParam)(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
        return 0;
    }
    auto window = findLocalWindow(message->hwnd);
    return window ? window->procedure(message->hwnd, message->message, message->wParam, message->lParam) : 0;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeout, DWORD wakeMask) {
    (void)waitAll;
    (void)wakeMask;
    const bool forever = timeout == INFINITE;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeout);
    for (;;) {
        for (DWORD i = 0; i < count; ++i) {
            if (handles && detail::ConsumeEvent(handles[i])) return WAIT_OBJECT_0 + i;
        }
        pumpInput();
        std::unique_lock<std::mutex> guard(detail::WakeMutex());
        MSG ignored;
        if (peekLocked(&ignored, nullptr, 0, 0, false)) return WAIT_OBJECT_0 + count;
        const auto now = Clock::now();
        if (!forever && now >= deadline) return WAIT_TIMEOUT;
        const uint64_t seen = detail::WakeSequence();
        auto until = std::min(nextTimerLocked(), forever ? Clock::time_point::max() : deadline);
        if (detail::IsWindowThread()) until = std::min(until, now + inputSlice());
        auto changed = [&] { return detail::WakeSequence() != seen; };
        if (until == Clock::time_point::max())
            detail::WakeCondition().wait(guard, changed);
        else
            detail::WakeCondition().wait_until(guard, until, changed);
    }
}

UINT ImmGetVirtualKey(HWND handle) {
    auto window = findLocalWindow(handle);
    return window ? window->heldBackKey : 0;
}

// --- timers -------------------------------------------------------------------------

uintptr_t SetTimer(HWND window, uintptr_t id, UINT elapse, TIMERPROC routine) {
    if (!findLocalWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (elapse == 0) elapse = 1;
    {
        std::lock_guard<std::mutex> guard(detail::WakeMutex());
        Timer& timer = g_timers[{reinterpret_cast<uintptr_t>(window), id}];
        timer.period = elapse;
        timer.due = Clock::now() + std::chrono::milliseconds(elapse);
        timer.routine = routine;
        ++detail::WakeSequence();
    }
    detail::WakeCondition().notify_all();
    return id;
}

BOOL KillTimer(HWND window, uintptr_t id) {
    std::lock_guard<std::mutex> guard(detail::WakeMutex());
    return g_timers.erase({reinterpret_cast<uintptr_t>(window), id}) ? TRUE : FALSE;
}

UINT TimerPeriod(HWND window, uintptr_t id) {
    std::lock_guard<std::mutex> guard(detail::WakeMutex());
    auto it = g_timers.find({reinterpret_cast<uintptr_t>(window), id});
    return it == g_timers.end() ? 0 : it->second.period;
}

// --- for tests -------------------------------------------------------------------------

namespace test {

namespace {

void push(SDL_Event& event) {
    if (!g_sdlWindow) return;
    SDL_PushEvent(&event);
    detail::Wake();  // it does not come through the desktop's connection
}

Uint32 windowId() { return g_sdlWindow ? SDL_GetWindowID(g_sdlWindow) : 0; }

}  // namespace

void InjectKey(int sdlKeyCode, bool down, bool repeat, bool shift) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = windowId();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = sdlKeyCode;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(sdlKeyCode);
    event.key.keysym.mod = shift ? KMOD_LSHIFT : KMOD_NONE;
    push(event);
}

void InjectMouseButton(bool down, int x, int y) {
    SDL_Event event = {};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = windowId();
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    push(event);
}

void InjectMouseMotion(int x, int y, bool leftHeld) {
    SDL_Event event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = windowId();
    event.motion.state = leftHeld ? SDL_BUTTON_LMASK : 0;
    event.motion.x = x;
    event.motion.y = y;
    push(event);
}

void InjectFocus(bool gained) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId();
    event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    push(event);
}

void InjectClose() {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId();
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    push(event);
}

void InjectHeldBackKey(UINT virtualKey) {
    SDL_Event event = {};
    event.type = heldBackKeyEvent();
    event.user.windowID = windowId();
    event.user.code = static_cast<Sint32>(virtualKey);
    push(event);
}

void WindowSize(int* width, int* height) {
    *width = *height = 0;
    if (g_sdlWindow) SDL_GetWindowSize(g_sdlWindow, width, height);
}

uint64_t ForegroundRequests() { return g_foregroundRequests.load(); }

}  // namespace test

}  // namespace ce
