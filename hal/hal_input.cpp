// Platform layer: keys and the stylus.
#include "hal_input.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>

#include "hal_events.h"
#include "hal_message.h"

namespace {

constexpr int32_t kUp = 1, kLeft = 2, kRight = 5, kDown = 6, kFire = 8;

struct KeyEntry {
    ce::UINT virtualKey;
    int32_t keyCode;
    const char16_t* name;
};

const KeyEntry kKeys[] = {
    {ce::VK_UP, -1, u"Up"},
    {ce::VK_DOWN, -2, u"Down"},
    {ce::VK_LEFT, -3, u"Left"},
    {ce::VK_RIGHT, -4, u"Right"},
    {ce::VK_RETURN, -5, u"Select"},
    {ce::VK_F1, -6, u"Soft1"},
    {ce::VK_F2, -7, u"Soft2"},
    {'0', 48, u"0"},
    {'1', 49, u"1"},
    {'2', 50, u"2"},
    {'3', 51, u"3"},
    {'4', 52, u"4"},
    {'5', 53, u"5"},
    {'6', 54, u"6"},
    {'7', 55, u"7"},
    {'8', 56, u"8"},
    {'9', 57, u"9"},
    {ce::VK_TSTAR, 42, u"*"},
    {ce::VK_TPOUND, 35, u"#"},
};

using Clock = std::chrono::steady_clock;
constexpr auto kRepeatGap = std::chrono::milliseconds(100);
constexpr auto kTouchGap = std::chrono::milliseconds(30);
constexpr int kTouchDistance = 5;

std::mutex g_mutex;
int32_t g_keyStates = 0;
int32_t g_releasedStates = 0;
// Held keys by key code: when each last produced an event.
std::map<int32_t, Clock::time_point> g_held;

struct Touch {
    int type = 0;  // 0: none yet
    int32_t x = 0, y = 0;
    Clock::time_point when;
};
Touch g_lastTouch;

int32_t stateBit(int32_t keyCode) {
    int32_t action = HAL_getGameAction(keyCode);
    return action == 0 ? 0 : static_cast<int32_t>(1u << action);
}

void postKey(int type, int32_t keyCode) {
    const intptr_t args[1] = {keyCode};
    hostPostEvent(type, 1, args, 1);
}

void handleKey(bool down, bool repeat, ce::UINT virtualKey) {
    const int32_t keyCode = HAL_keyCodeForVirtualKey(virtualKey);
    if (keyCode == 0) return;
    const auto now = Clock::now();
    int type;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        const int32_t bit = stateBit(keyCode);
        if (!down) {
            g_held.erase(keyCode);
            g_releasedStates |= bit;
            type = HAL_EVENT_KEY_RELEASED;
        } else {
            auto held = g_held.find(keyCode);
            if (held != g_held.end() && repeat) {
                if (now - held->second < kRepeatGap) return;
                held->second = now;
                type = HAL_EVENT_KEY_REPEATED;
            } else {
                g_held[keyCode] = now;
                type = HAL_EVENT_KEY_PRESSED;
            }
            g_keyStates |= bit;
            g_releasedStates &= ~bit;
        }
    }
    postKey(type, keyCode);
}

void handleTouch(int type, ce::LPARAM lParam) {
    // Signed 16-bit coordinates: a drag may leave the window.
    const int32_t x = static_cast<int16_t>(lParam & 0xFFFF);
    const int32_t y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
    const auto now = Clock::now();
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        if (g_lastTouch.type == type && now - g_lastTouch.when < kTouchGap &&
            std::abs(x - g_lastTouch.x) <= kTouchDistance && std::abs(y - g_lastTouch.y) <= kTouchDistance)
            return;
        g_lastTouch = Touch{type, x, y, now};
    }
    const intptr_t args[2] = {x, y};
    hostPostEvent(type, 2, args, 1);
}

}  // namespace

int32_t HAL_getKeyCode(int32_t gameAction) {
    switch (gameAction) {
        case kUp: return -1;
        case kLeft: return -3;
        case kRight: return -4;
        case kDown: return -2;
        case kFire: return -5;
        default: return 0;
    }
}

int32_t HAL_getGameAction(int32_t keyCode) {
    switch (keyCode) {
        case -1: return kUp;
        case -3: return kLeft;
        case -4: return kRight;
        case -2: return kDown;
        case -5: return kFire;
        default: return 0;
    }
}

bool HAL_getKeyName(int32_t keyCode, char16_t* buffer, int32_t* length) {
    if (!buffer || !length) return false;
    for (const KeyEntry& key : kKeys) {
        if (key.keyCode != keyCode) continue;
        int32_t n = 0;
        while (key.name[n] != 0) ++n;
        if (n > *length) n = *length < 0 ? 0 : *length;
        for (int32_t i = 0; i < n; ++i) buffer[i] = key.name[i];
        *length = n;
        return true;
    }
    return false;
}

int32_t HAL_getKeyStates() {
    std::lock_guard<std::mutex> guard(g_mutex);
    int32_t states = g_keyStates;
    g_keyStates &= ~g_releasedStates;
    g_releasedStates = 0;
    return states;
}

int32_t HAL_keyCodeForVirtualKey(ce::UINT virtualKey) {
    for (const KeyEntry& key : kKeys) {
        if (key.virtualKey == virtualKey) return key.keyCode;
    }
    return 0;
}

bool HAL_handleInputMessage(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
    switch (message) {
        case ce::WM_KEYDOWN:
            // Bit 30: the key was already down (an auto-repeat).
            handleKey(true, (lParam & (1 << 30)) != 0, static_cast<ce::UINT>(wParam));
            return true;
        case ce::WM_KEYUP: handleKey(false, false, static_cast<ce::UINT>(wParam)); return true;
        case ce::WM_LBUTTONDOWN: handleTouch(HAL_EVENT_POINTER_PRESSED, lParam); return true;
        case ce::WM_LBUTTONUP: handleTouch(HAL_EVENT_POINTER_RELEASED, lParam); return true;
        case ce::WM_MOUSEMOVE:
            if ((wParam & ce::MK_LBUTTON) != 0) handleTouch(HAL_EVENT_POINTER_DRAGGED, lParam);
            return true;
        default: return false;
    }
}

void HAL_resetInput() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_keyStates = 0;
    g_releasedStates = 0;
    g_held.clear();
    g_lastTouch = Touch{};
}
