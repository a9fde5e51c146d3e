// The main window's own message codes and the calls that reach the host
// bridge from the platform's families (window objects, power, input, audio,
// system services). A leaf: it needs only the stand-ins' window types, so
// those families include it instead of hal_host.h or hal_window.h.
//
// The system's own window messages: 0x3ff collect garbage, 0x401 the
// application asks to exit, 0x402 and 0x405 phone-status notifications
// (ignored), 0x403 power changed (wParam 1 = on), 0x404 set the display
// orientation (wParam).
#pragma once

#include <cstdint>

#include "ce_types.h"
#include "hal_events.h"

constexpr ce::UINT HAL_WM_COLLECT = 0x3FF;
constexpr ce::UINT HAL_WM_EXIT = 0x401;
constexpr ce::UINT HAL_WM_PHONE_STATUS = 0x402;
constexpr ce::UINT HAL_WM_POWER = 0x403;
constexpr ce::UINT HAL_WM_ORIENTATION = 0x404;
constexpr ce::UINT HAL_WM_SMS_COUNT = 0x405;

// The main window (hal_window.cpp); null before it exists and once it is
// destroyed. Messages are posted to it with ce::PostMessageW.
ce::HWND HAL_getMainWindow();

// --- the host bridge (hal_host.cpp) ----------------------------------------------------
// Posts one runtime event (HAL_Event); dropped once shutdown has begun. With takeLock,
// the runtime lock is taken (and the runtime entered) around the dispatch.
void hostPostEvent(int type, int count, const intptr_t* args, int takeLock);
// Ends the runtime: no event reaches it afterwards; HAL_EVENT_DESTROY, then
// the runtime is destroyed.
void hostDestroyVM();
// Window activation and power; the application is running while both are
// on. A change posts HAL_EVENT_PAUSE (after stopping the open players) or
// HAL_EVENT_RESUME.
void hostSetActive(int flag);
void hostSetPowerOn(int flag);
// Replaces the URL to open once the application has ended.
void hostSetPendingURL(const char16_t* characters, int32_t length);
// The exit status of an orderly end that is not a success (the first
// non-zero one set stays); hostRun gives it instead of 0.
void hostSetExitStatus(int status);

// Called when the application pauses, before HAL_EVENT_PAUSE: the media family
// stops every open player here.
using HAL_PauseHook = void (*)();
void HAL_setPauseHook(HAL_PauseHook hook);
