// Platform layer: the main window, window objects and the displayable entry
// points.
#include "hal_window.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "ce.h"
#include "hal_display.h"
#include "hal_events.h"
#include "hal_input.h"
#include "hal_message.h"
#include "hal_system.h"

namespace {

std::atomic<ce::HWND> g_mainWindow{nullptr};
std::u16string g_className;
std::atomic<bool> g_mainThreadKnown{false};
std::thread::id g_mainThread;
ce::HANDLE g_wakeEvent = nullptr;
std::once_flag g_wakeOnce;

struct SerialCall {
    void (*runner)(void*);
    void* argument;
    void (*discard)(void*);
};
std::mutex g_serialMutex;
std::deque<SerialCall> g_serialCalls;

}  // namespace

// --- window objects ------------------------------------------------------------------

HAL_WindowObject::~HAL_WindowObject() = default;

int32_t HAL_WindowObject::width() const { return ce::kScreenWidth; }
int32_t HAL_WindowObject::height() const { return ce::kScreenHeight; }

// The whole screen is the application's in either mode: nothing to change.
void HAL_WindowObject::setFullScreenMode(bool fullScreen, bool hideSoftKeys) {
    (void)hideSoftKeys;
    fullScreen_ = fullScreen;
}

// The window shows neither a title bar nor a ticker of its own.
void HAL_WindowObject::setTitle(const char16_t* characters, int32_t length) {
    (void)characters;
    (void)length;
}
void HAL_WindowObject::setTicker(const char16_t* characters, int32_t length) {
    (void)characters;
    (void)length;
}

// The window draws no menu of its own: the commands are only kept.
void HAL_WindowObject::addCommand(HAL_Command* commandPeer) {
    if (std::find(commands_.begin(), commands_.end(), commandPeer) != commands_.end()) return;
    try {
        commands_.push_back(commandPeer);
    } catch (const std::bad_alloc&) {
        // Out of memory: the command is not offered, as if never added.
    }
}

void HAL_WindowObject::removeCommand(HAL_Command* commandPeer) {
    auto found = std::find(commands_.begin(), commands_.end(), commandPeer);
    if (found != commands_.end()) commands_.erase(found);
}

ce::LRESULT HAL_WindowObject::windowProc(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
    switch (message) {
        case ce::WM_ACTIVATE: {
            const ce::WPARAM state = wParam & 0xFFFF;
            hostSetActive(wParam < 65536 && (state == ce::WA_ACTIVE || state == ce::WA_CLICKACTIVE) ? 1 : 0);
            return 0;
        }
        case HAL_WM_POWER: hostSetPowerOn(wParam == 1 ? 1 : 0); return 0;
        case HAL_WM_EXIT:
        case ce::WM_CLOSE:
            hostDestroyVM();
            ce::DestroyWindow(HAL_getMainWindow());
            return 0;
        case ce::WM_DESTROY: ce::PostQuitMessage(0); return 0;
        case HAL_WM_COLLECT:
            if (HAL_hostCallbacks().collect) HAL_hostCallbacks().collect();
            return 0;
        case HAL_WM_PHONE_STATUS:
        case HAL_WM_SMS_COUNT: return 0;
        case HAL_WM_ORIENTATION: HAL_setOrientation(static_cast<int32_t>(wParam)); return 0;
        default: break;
    }
    if (HAL_handleInputMessage(message, wParam, lParam)) return 0;
    return ce::DefWindowProcW(HAL_getMainWindow(), message, wParam, lParam);
}

// --- the main window -----------------------------------------------------------------

int HAL_createHostWindow(void* instance, const char16_t* windowName, ce::WNDPROC procedure) {
    if (!windowName || !procedure) return 0;
    ce::WNDCLASSW windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = windowName;
    if (!ce::RegisterClassW(&windowClass)) return 0;
    g_className = windowName;
    ce::HWND window = ce::CreateWindowW(windowName, windowName, 0, 0, 0, ce::kScreenWidth, ce::kScreenHeight, nullptr,
                                        nullptr, instance, nullptr);
    if (!window) {
        ce::UnregisterClassW(windowName, instance);
        g_className.clear();
        return 0;
    }
    HAL_resetInput();
    g_mainWindow = window;
    return 1;
}

ce::HWND HAL_getMainWindow() {
    ce::HWND window = g_mainWindow.load();
    return window && ce::IsWindow(window) ? window : nullptr;
}

HAL_WindowObject* HAL_getCurrentWindowObject() {
    ce::HWND window = HAL_getMainWindow();
    return window ? reinterpret_cast<HAL_WindowObject*>(ce::GetWindowLongW(window, ce::GWL_USERDATA)) : nullptr;
}

void HAL_setCurrentWindowObject(HAL_WindowObject* object) {
    ce::HWND window = HAL_getMainWindow();
    if (!window) return;
    ce::SetWindowLongW(window, ce::GWL_USERDATA, reinterpret_cast<ce::LPARAM>(object));
    ce::InvalidateRect(window, nullptr, ce::TRUE);
    ce::UpdateWindow(window);
}

void HAL_releaseHostWindow() {
    if (ce::HWND window = HAL_getMainWindow()) ce::DestroyWindow(window);
    if (!g_className.empty()) ce::UnregisterClassW(g_className.c_str(), nullptr);
    g_className.clear();
    g_mainWindow = nullptr;
}

// --- displayable entry points --------------------------------------------------------

int HAL_createCanvas(HAL_WindowObject** peer, intptr_t owner) {
    if (!peer) return HAL_BAD_ARGUMENT;
    *peer = new (std::nothrow) HAL_CanvasWindow(owner);
    return *peer ? HAL_OK : HAL_OUT_OF_MEMORY;
}

int HAL_deleteCanvas(HAL_WindowObject* peer) {
    if (peer) {
        // A peer that is still shown must not stay behind in the window.
        if (HAL_getCurrentWindowObject() == peer) {
            if (ce::HWND window = HAL_getMainWindow()) ce::SetWindowLongW(window, ce::GWL_USERDATA, 0);
        }
        delete peer;
    }
    return HAL_OK;
}

int HAL_getDisplayableSize(HAL_WindowObject* peer, int32_t* width, int32_t* height) {
    if (!peer) return HAL_BAD_ARGUMENT;
    if (width) *width = peer->width();
    if (height) *height = peer->height();
    return HAL_OK;
}

void HAL_setFullScreenMode(HAL_WindowObject* peer, int flag) {
    if (peer) peer->setFullScreenMode(flag != 0, flag != 0);
}

void HAL_setTitle(HAL_WindowObject* peer, const char16_t* characters, int32_t length) {
    if (peer && characters) peer->setTitle(characters, length);
}

void HAL_setTicker(HAL_WindowObject* peer, const char16_t* characters, int32_t length) {
    if (peer && characters) peer->setTicker(characters, length);
}

void HAL_addCommand(HAL_WindowObject* peer, HAL_Command* commandPeer) {
    if (peer && commandPeer) peer->addCommand(commandPeer);
}

void HAL_removeCommand(HAL_WindowObject* peer, HAL_Command* commandPeer) {
    if (peer && commandPeer) peer->removeCommand(commandPeer);
}

int HAL_setCurrentDisplayable(HAL_WindowObject* peer) {
    if (!peer) return HAL_BAD_ARGUMENT;
    HAL_setCurrentWindowObject(peer);
    const intptr_t args[1] = {peer->owner()};
    hostPostEvent(HAL_EVENT_DISPLAYABLE_CURRENT, 1, args, 0);
    return HAL_OK;
}

void HAL_getDisplayCapabilities(int32_t* isColor, int32_t* numColors, int32_t* alphaLevels, int32_t* doubleBuffered) {
    constexpr int kBitsPerPixel = 16;  // the screen is RGB565
    if (isColor) *isColor = 1;
    if (numColors) *numColors = kBitsPerPixel >= 32 ? 0 : 1 << kBitsPerPixel;
    if (alphaLevels) *alphaLevels = 32;
    if (doubleBuffered) *doubleBuffered = 1;
}

// --- serial calls --------------------------------------------------------------------

int HAL_callSerially(void (*runner)(void*), void* argument, void (*discard)(void*)) {
    if (!runner) return HAL_BAD_ARGUMENT;
    {
        std::lock_guard<std::mutex> guard(g_serialMutex);
        g_serialCalls.push_back({runner, argument, discard});
    }
    // Wakes the loop whether it polls (the event) or waits for a message.
    HAL_wakeMessageLoop();
    if (ce::HWND window = HAL_getMainWindow()) ce::PostMessageW(window, ce::WM_NULL, 0, 0);
    return HAL_OK;
}

bool HAL_runSerialCalls() {
    std::deque<SerialCall> calls;
    {
        std::lock_guard<std::mutex> guard(g_serialMutex);
        calls.swap(g_serialCalls);
    }
    // Calls queued by these calls run in the next pass.
    for (const SerialCall& call : calls) call.runner(call.argument);
    return !calls.empty();
}

void HAL_dropSerialCalls() {
    std::deque<SerialCall> calls;
    {
        std::lock_guard<std::mutex> guard(g_serialMutex);
        calls.swap(g_serialCalls);
    }
    for (const SerialCall& call : calls)
        if (call.discard) call.discard(call.argument);
}

// --- presenting --------------------------------------------------------------------

int HAL_presentFrame(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch) {
    return HAL_presentFrameRect(pixels, width, height, pitch, 0, 0, width, height);
}

int HAL_presentFrameRect(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch, int32_t x, int32_t y,
                         int32_t rectWidth, int32_t rectHeight) {
    if (!pixels || width <= 0 || height <= 0 || pitch < width) return HAL_BAD_ARGUMENT;
    ce::HWND window = HAL_getMainWindow();
    if (!window) return HAL_FAILED;
    return ce::PresentFrameRect(window, pixels, width, height, pitch, x, y, rectWidth, rectHeight) ? HAL_OK
                                                                                                   : HAL_FAILED;
}

void HAL_wakeMessageLoop() {
    if (ce::HANDLE event = HAL_messageLoopWakeEvent()) ce::SetEvent(event);
}

// The loop's wait between passes (hal_host.cpp): the wake event, or input.
ce::HANDLE HAL_messageLoopWakeEvent() {
    std::call_once(g_wakeOnce, [] { g_wakeEvent = ce::CreateEventW(nullptr, ce::FALSE, ce::FALSE, nullptr); });
    return g_wakeEvent;
}

void HAL_recordMainThread() {
    g_mainThread = std::this_thread::get_id();
    g_mainThreadKnown = true;
}

bool HAL_isMainThread() { return g_mainThreadKnown.load() && std::this_thread::get_id() == g_mainThread; }
