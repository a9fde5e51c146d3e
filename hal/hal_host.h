// The host bridge: the program's entry, start-up in a fixed order, the boot
// of the runtime with the application manager, the main thread's message
// loop, the running/paused switch, and shutdown.
//
// Runtime events (hal_events.h) are posted from here (pause, resume, destroy)
// and from the window objects (current displayable, keys, pointer).
//
// The window-message codes and the bridge's calls made by the other families
// (posting events, activation, power, the pending URL) are in hal_message.h.
#pragma once

#include <cstdint>
#include <string>

#include "ce_window.h"
#include "hal_message.h"
#include "hal_system.h"

// The program's entry: runs the bridge with the host callbacks installed
// beforehand (HAL_setHostCallbacks: the program installs the runtime's),
// each empty slot given its default. The command line is ignored. Returns
// the process exit code: 1 when start-up fails; 0 when the application ends
// while running, 1 when it ends while paused.
int WinMain(void* instance, void* previousInstance, const char16_t* commandLine, int showCommand);

// Copies the table (when not null) over the bridge's callbacks, then gives
// every empty slot its default (initRuntime and dispatchEvent: a routine
// returning 0; the others: a routine doing nothing).
void hostSetCallbacks(const HAL_HostCallbacks* table);
// Start-up, message loop, shutdown; the loop's exit code, or 1 when start-up
// fails.
int hostRun(void* instance, int showCommand);
// The main window's procedure: messages go to the current window object,
// or to DefWindowProcW while there is none.
ce::LRESULT hostWindowProc(ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam);

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
