// The host bridge: entry, start-up, boot, the message loop, the running
// state, event posting and shutdown.
#include "hal_host.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

#include "ce.h"
#include "hal_audio.h"
#include "hal_device.h"
#include "hal_font.h"
#include "hal_display.h"
#include "hal_events.h"
#include "hal_http.h"
#include "hal_power.h"
#include "hal_property.h"
#include "hal_recordstore.h"
#include "hal_string.h"
#include "hal_thread.h"
#include "hal_window.h"

namespace {

// While the application runs, the loop waits at most this long between
// passes that found nothing to do; a posted message, input, a serial call or
// a pending flush ends the wait at once, so this only bounds a wake-up that
// was missed. The window's input is looked at within the wait as often as
// ce's input slice says, so a longer wait delays nothing. At 8 ms the loop's
// wake-ups (125 a second) cost more than the game's work in a menu.
constexpr ce::DWORD kIdleWaitMs = 100;

const char16_t kDefaultWindowName[] = u"_TS_set_your_MIDlet-Name";

std::mutex g_stateMutex;  // the callback table and the pending URL
ce::HANDLE g_instanceMutex = nullptr;
NativeString* g_pendingURL = nullptr;
std::atomic<bool> g_shutdownBegun{false};
std::atomic<int> g_exitStatus{0};  // an orderly end after a failure: not 0
bool g_opticalMouse = false;
// The running flag equals active && powered after every update.
std::atomic<bool> g_running{true};
std::atomic<bool> g_active{true};
std::atomic<bool> g_powered{true};
std::atomic<HAL_PauseHook> g_pauseHook{nullptr};
std::atomic<HAL_EventTraceSink> g_traceSink{nullptr};

// --- default callbacks -------------------------------------------------------------
int defaultInit(uint64_t, uint64_t, NativeThreadRecord*, const char*, int32_t) { return 0; }
int defaultDispatch(int, int, const intptr_t*) { return 0; }
void defaultNothing() {}
void* defaultEnter() { return nullptr; }

void trace(int type, int count, const intptr_t* args, bool dropped) {
    if (HAL_EventTraceSink sink = g_traceSink.load()) sink(type, count, args, dropped);
}

// --- start-up --------------------------------------------------------------------

// "MIDlet-Name", or the fixed name when it is missing or empty.
std::u16string hostGetWindowName() {
    static const char16_t kKey[] = u"MIDlet-Name";
    const int32_t keyLength = static_cast<int32_t>(std::char_traits<char16_t>::length(kKey));
    int32_t length = HAL_getApplicationPropertyLength(kKey, keyLength);
    if (length < 1) return kDefaultWindowName;
    std::u16string name(static_cast<size_t>(length) + 1, u'\0');
    int32_t written = length;
    if (HAL_getApplicationProperty(kKey, keyLength, name.data(), &written) != HAL_OK || written < 1)
        return kDefaultWindowName;
    name.resize(static_cast<size_t>(written));
    return name;
}

// 1 to go on; 0 when another instance runs (its window is brought forward).
int hostCheckSingleInstance(const std::u16string& name) {
    std::u16string mutexName = u"Local\\" + name;
    g_instanceMutex = ce::CreateMutexW(nullptr, ce::FALSE, mutexName.c_str());
    if (!g_instanceMutex || ce::GetLastError() != ce::ERROR_ALREADY_EXISTS) return 1;
    ce::CloseHandle(g_instanceMutex);
    g_instanceMutex = nullptr;
    // A second start from a terminal would otherwise end without a word.
    std::fputs("Another copy of the game is running; its window is brought forward.\n", stderr);
    ce::HWND other = ce::FindWindowW(name.c_str(), nullptr);
    ce::SetForegroundWindow(reinterpret_cast<ce::HWND>(reinterpret_cast<uintptr_t>(other) | 1));
    if (ce::IsWindowEnabled(other)) ce::ShowWindow(other, 13);
    return 0;
}

bool hostCreateWindow(void* instance, int showCommand) {
    std::u16string name = hostGetWindowName();
    if (!hostCheckSingleInstance(name)) return false;
    if (!HAL_createHostWindow(instance, name.c_str(), hostWindowProc)) return false;
    ce::ShowWindow(HAL_getMainWindow(), showCommand);
    return true;
}

// The main thread's record (made on first use) is this thread's from now on.
bool hostAttachMainThread() { return HAL_getCurrentThread() != nullptr; }

void hostBoot() {
    HAL_enterVMLock();
    ce::MEMORYSTATUS memory;
    ce::GlobalMemoryStatus(&memory);
    const uint32_t available = std::min(memory.dwAvailPhys, memory.dwAvailVirtual);
    const uint64_t base = available / 10;
    const uint64_t maximum = available - base;
    const int status =
        HAL_hostCallbacks().initRuntime(base, maximum, HAL_getCurrentThread(), "com.tarsel.sorrel.AMS", 0);
    if (status == 1)
        HAL_fatalError("init() failed with CALLBACK_INITIALIZATION_FAILED error (probably a bad boot class name).");
    if (status == 2) HAL_fatalError("init() failed with CALLBACK_UNCAUGHT_EXCEPTION.");
    if (status != 0) HAL_fatalError("init() failed with an unknown error!");
    HAL_hostCallbacks().collect();
    HAL_leaveVMLock();
}

int hostInit(void* instance, int showCommand) {
    HAL_recordMainThread();
    HAL_reserveMemory();
    HAL_loadProperties();
    if (!hostCreateWindow(instance, showCommand)) return 0;
    // No COM on this platform (CoInitializeEx).
    if (!hostAttachMainThread()) return 0;
    if (!HAL_startPowerThread()) return 0;
    // The platform's optional parts; none of them stops start-up.
    HAL_createRecordStoreLock();
    HAL_checkDatabaseFolder();
    HAL_setUpDisplayOrientation();
    HAL_initFontCache();
    HAL_loadDeviceLibraries();
    g_opticalMouse = HAL_hasOpticalMouse() != 0;
    if (g_opticalMouse) HAL_setOpticalMouseMode(1);
    HAL_openSensorLibrary();
    hostBoot();
    return 1;
}

// --- the message loop --------------------------------------------------------------

void hostFixImeKeyMessage(ce::MSG* msg) {
    ce::HWND window = HAL_getMainWindow();
    bool replaced = false;
    if (msg->wParam == ce::VK_PROCESSKEY) {
        msg->wParam = ce::ImmGetVirtualKey(window);
        replaced = true;
    }
    ce::TranslateMessage(msg);
    ce::MSG character;
    while (ce::PeekMessageW(&character, window, ce::WM_CHAR, ce::WM_CHAR, ce::PM_REMOVE))
        ce::DispatchMessageW(&character);
    if (replaced) {
        const ce::WPARAM real = msg->wParam;
        msg->wParam = ce::VK_PROCESSKEY;
        ce::TranslateMessage(msg);
        msg->wParam = real;
    }
}

// 0 for WM_QUIT (not dispatched), else dispatches the message and gives 1.
int hostHandleMessage(ce::MSG* msg) {
    if (msg->message == ce::WM_QUIT) return 0;
    if (msg->message == ce::WM_KEYDOWN || msg->message == ce::WM_KEYUP) hostFixImeKeyMessage(msg);
    ce::DispatchMessageW(msg);
    return 1;
}

// The serial calls queued so far, on the main thread inside the runtime.
bool hostRunSerialCalls() {
    if (g_shutdownBegun.load()) {
        HAL_dropSerialCalls();
        return false;
    }
    HAL_hostEnter();
    return HAL_runSerialCalls();
}

int hostMessageLoop() {
    ce::MSG msg;
    bool quit = false;
    int exitCode = 1;
    while (!quit) {
        if (g_running.load()) {
            HAL_enterVMLock();
            bool busy = false;
            while (ce::PeekMessageW(&msg, HAL_getMainWindow(), 0, 0, ce::PM_REMOVE)) {
                busy = true;
                if (!hostHandleMessage(&msg)) {
                    exitCode = static_cast<int>(msg.wParam);
                    quit = true;
                }
            }
            if (g_running.load() && !quit) {
                HAL_WindowObject* current = HAL_getCurrentWindowObject();
                if (current && current->screenBuffer && HAL_flushPendingScreenBuffer(current->screenBuffer))
                    busy = true;
            }
            if (!quit && hostRunSerialCalls()) busy = true;
            HAL_leaveVMLock();
            // Nothing to do: wait a little without the lock instead of
            // polling at once again.
            if (!busy && !quit && g_running.load()) {
                ce::HANDLE wake = HAL_messageLoopWakeEvent();
                ce::MsgWaitForMultipleObjects(wake ? 1 : 0, &wake, ce::FALSE, kIdleWaitMs, ce::QS_ALLINPUT);
            }
        } else {
            const ce::BOOL result = ce::GetMessageW(&msg, HAL_getMainWindow(), 0, 0);
            if (result == 0 || result == -1) {
                quit = true;
            } else {
                HAL_enterVMLock();
                if (!hostHandleMessage(&msg)) {
                    exitCode = static_cast<int>(msg.wParam);
                    quit = true;
                }
                if (!quit) hostRunSerialCalls();
                HAL_leaveVMLock();
            }
        }
    }
    return exitCode;
}

// --- running state ----------------------------------------------------------------

void hostUpdateRunning() {
    const bool running = g_active.load() && g_powered.load();
    if (running == g_running.load()) return;
    g_running = running;
    if (!running) {
        if (HAL_PauseHook hook = g_pauseHook.load()) hook();
        hostPostEvent(HAL_EVENT_PAUSE, 0, nullptr, 1);
    } else {
        hostPostEvent(HAL_EVENT_RESUME, 0, nullptr, 1);
    }
}

// --- shutdown --------------------------------------------------------------------

void hostOpenPendingURL() {
    NativeString* url;
    {
        std::lock_guard<std::mutex> guard(g_stateMutex);
        url = g_pendingURL;
        g_pendingURL = nullptr;
    }
    if (!url) return;
    int32_t length = 0;
    HAL_getStringLength(url, &length);
    if (length > 0) {
        std::u16string text(static_cast<size_t>(length), u'\0');
        HAL_getStringCharacters(url, text.data());
        ce::SHELLEXECUTEINFO info;
        info.cbSize = 60;
        info.fMask = 0;
        info.lpFile = u"iexplore.exe";
        info.lpParameters = text.c_str();
        info.nShow = 1;
        ce::ShellExecuteEx(&info);
    }
    HAL_freeString(url);
}

void hostShutdown() {
    hostOpenPendingURL();
    HAL_setKeepDeviceAwake(0);
    HAL_releaseHTTP();
    HAL_releaseAudio();
    HAL_closeSensorLibrary();
    HAL_releaseFontCache();
    HAL_restoreDisplayOrientation();
    HAL_stopPowerThread();
    HAL_releaseHostWindow();
    HAL_deleteThread(HAL_getCurrentThread());
    // No COM on this platform (CoUninitialize).
    if (g_instanceMutex) ce::CloseHandle(g_instanceMutex);
    g_instanceMutex = nullptr;
    HAL_releaseProperties();
    HAL_releaseMemoryReserve();
}

}  // namespace

// --- entry ---------------------------------------------------------------------------

int WinMain(void* instance, void* previousInstance, const char16_t* commandLine, int showCommand) {
    (void)previousInstance;
    (void)commandLine;
    HAL_HostCallbacks table = HAL_hostCallbacks();
    hostSetCallbacks(&table);
    return hostRun(instance, showCommand);
}

void hostSetCallbacks(const HAL_HostCallbacks* table) {
    std::lock_guard<std::mutex> guard(g_stateMutex);
    HAL_HostCallbacks callbacks = table ? *table : HAL_hostCallbacks();
    if (!callbacks.initRuntime) callbacks.initRuntime = defaultInit;
    if (!callbacks.dispatchEvent) callbacks.dispatchEvent = defaultDispatch;
    if (!callbacks.yield) callbacks.yield = defaultNothing;
    if (!callbacks.enter) callbacks.enter = defaultEnter;
    if (!callbacks.collect) callbacks.collect = defaultNothing;
    if (!callbacks.destroyRuntime) callbacks.destroyRuntime = defaultNothing;
    HAL_setHostCallbacks(&callbacks);
}

int hostRun(void* instance, int showCommand) {
    g_exitStatus = 0;
    if (!hostInit(instance, showCommand)) return 1;
    int exitCode = hostMessageLoop();
    // The loop can also end without the application's exit (the window was
    // closed before anything was shown in it): the runtime still ends in
    // order before the platform goes.
    if (!g_shutdownBegun.load()) hostDestroyVM();
    hostShutdown();
    // Closed because the display went away: the end is orderly, but not a
    // success.
    if (ce::DisplayLost() && exitCode == 0) exitCode = 1;
    // The application ended in order after a failure.
    if (exitCode == 0) exitCode = g_exitStatus.load();
    return exitCode;
}

void hostPostEvent(int type, int count, const intptr_t* args, int takeLock) {
    if (g_shutdownBegun.load()) {
        trace(type, count, args, true);
        return;
    }
    trace(type, count, args, false);
    const HAL_HostCallbacks& callbacks = HAL_hostCallbacks();
    if (takeLock) {
        HAL_enterVMLock();
        HAL_hostEnter();
    }
    if (callbacks.dispatchEvent) callbacks.dispatchEvent(type, count, args);
    if (takeLock) HAL_leaveVMLock();
}

void hostDestroyVM() {
    if (g_shutdownBegun.exchange(true)) return;
    trace(HAL_EVENT_DESTROY, 0, nullptr, false);
    const HAL_HostCallbacks& callbacks = HAL_hostCallbacks();
    HAL_enterVMLock();
    HAL_hostEnter();
    if (callbacks.dispatchEvent) callbacks.dispatchEvent(HAL_EVENT_DESTROY, 0, nullptr);
    HAL_dropSerialCalls();  // released while the runtime still runs
    if (callbacks.destroyRuntime) callbacks.destroyRuntime();
    HAL_leaveVMLock();
    HAL_dropSerialCalls();
}

void hostSetActive(int flag) {
    const bool active = flag != 0;
    if (active != g_active.load()) {
        g_active = active;
        if (active && g_opticalMouse) HAL_setOpticalMouseMode(1);
    }
    hostUpdateRunning();
}

void hostSetPowerOn(int flag) {
    const bool powered = flag != 0;
    if (powered == g_powered.load()) return;
    g_powered = powered;
    hostUpdateRunning();
}

void hostSetPendingURL(const char16_t* characters, int32_t length) {
    NativeString* url = HAL_createString(characters, length);
    NativeString* old;
    {
        std::lock_guard<std::mutex> guard(g_stateMutex);
        old = g_pendingURL;
        g_pendingURL = url;
    }
    if (old) HAL_freeString(old);
}

ce::LRESULT hostWindowProc(ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
    HAL_WindowObject* current = HAL_getCurrentWindowObject();
    if (current && window == HAL_getMainWindow()) return current->windowProc(message, wParam, lParam);
    // With nothing shown, the main window's end must still end the loop.
    if (message == ce::WM_DESTROY && window == HAL_getMainWindow()) ce::PostQuitMessage(0);
    return ce::DefWindowProcW(window, message, wParam, lParam);
}

void hostSetExitStatus(int status) {
    int none = 0;
    if (status != 0) g_exitStatus.compare_exchange_strong(none, status);
}

void HAL_setPauseHook(HAL_PauseHook hook) { g_pauseHook.store(hook); }

void HAL_setEventTraceSink(HAL_EventTraceSink sink) { g_traceSink.store(sink); }

std::u16string hostPendingURL() {
    std::lock_guard<std::mutex> guard(g_stateMutex);
    std::u16string text;
    int32_t length = 0;
    if (g_pendingURL && HAL_getStringLength(g_pendingURL, &length) == HAL_OK && length > 0) {
        text.resize(static_cast<size_t>(length));
        HAL_getStringCharacters(g_pendingURL, text.data());
    }
    return text;
}

HAL_HostState hostState() {
    return HAL_HostState{g_running.load(), g_active.load(), g_powered.load(), g_shutdownBegun.load()};
}

void hostResetState() {
    g_running = true;
    g_active = true;
    g_powered = true;
    g_shutdownBegun = false;
}
