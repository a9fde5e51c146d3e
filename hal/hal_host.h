// The host bridge: the program's entry, start-up in a fixed order, the boot
// of the runtime with the application manager, the main thread's message
// loop, the running/paused switch, and shutdown.
//
// Runtime events (hal_events.h) are posted from here (pause, resume, destroy)
// and from the window objects (current displayable, keys, pointer).
//
// The system's own window messages: 0x3ff collect garbage, 0x401 the
// application asks to exit, 0x402 and 0x405 phone-status notifications
// (ignored), 0x403 power changed (wParam 1 = on), 0x404 set the display
// orientation (wParam).
#pragma once

#include <cstdint>
#include <string>

#include "ce_window.h"
#include "hal_events.h"
#include "hal_system.h"

constexpr ce::UINT HAL_WM_COLLECT = 0x3FF;
constexpr ce::UINT HAL_WM_EXIT = 0x401;
constexpr ce::UINT HAL_WM_PHONE_STATUS = 0x402;
constexpr ce::UINT HAL_WM_POWER = 0x403;
constexpr ce::UINT HAL_WM_ORIENTATION = 0x404;
constexpr ce::UINT HAL_WM_SMS_COUNT = 0x405;

// The program's entry: installs the runtime's six host callbacks and runs
// the bridge. The command line is ignored. Returns the process exit code:
// 1 when start-up fails; 0 when the application ends while running, 1 when
// it ends while paused.
int WinMain(void* instance, void* previousInstance, const char16_t* commandLine, int showCommand);

// Copies the table (when not null) over the bridge's callbacks, then gives
// every empty slot its default (initRuntime and dispatchEvent: a routine
// returning 0; the others: a routine doing nothing).
void hostSetCallbacks(const HAL_HostCallbacks* table);
// Start-up, message loop, shutdown; the loop's exit code, or 1 when start-up
// fails.
int hostRun(void* instance, int showCommand);
// Posts one runtime event; dropped once shutdown has begun. With takeLock,
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
// The main window's procedure: messages go to the current window object,
// or to DefWindowProcW while there is none.
ce::LRESULT hostWindowProc(ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam);

// Called when the application pauses, before HAL_EVENT_PAUSE: the media family
// stops every open player here.
using HAL_PauseHook = void (*)();
void HAL_setPauseHook(HAL_PauseHook hook);

// Records the calling thread as the main thread (start-up does it).
void HAL_recordMainThread();

// --- for tests ---------------------------------------------------------------------
// Sees every event the bridge posts to the runtime (also those dropped after
// shutdown began, with dropped set), on the posting thread.
using HAL_EventTraceSink = void (*)(int type, int count, const intptr_t* args, bool dropped);
void HAL_setEventTraceSink(HAL_EventTraceSink sink);
std::u16string hostPendingURL();
struct HAL_HostState {
    bool running, active, powered, shutdownBegun;
};
HAL_HostState hostState();
// Back to the state before start-up (running, active, powered; no shutdown).
void hostResetState();
