// Windows and messages over SDL2: one top-level window that shows the
// 480 x 640 portrait screen, the thread's message queue, timers, and the
// window registration that lets a second instance find the first.
//
// The program always sees a 480 x 640 client area. The desktop window is that
// size times the largest integer factor that fits the desktop, or the screen
// scaled down to fit a smaller desktop; mouse positions are scaled back.
//
// Input becomes messages when the window's thread looks at its queue
// (PeekMessageW, GetMessageW, MsgWaitForMultipleObjects):
//   arrows              WM_KEYDOWN / WM_KEYUP with VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT
//   Enter, Space        VK_RETURN (the phone's action key)
//   F1, F2              VK_F1, VK_F2 (the two soft keys)
//   0 to 9              '0' to '9'
//   *, #                VK_TSTAR (VK_F8), VK_TPOUND (VK_F9)
//   left mouse button   WM_LBUTTONDOWN, WM_MOUSEMOVE with MK_LBUTTON, WM_LBUTTONUP
//                       (lParam: x in the low 16 bits, y in the high 16, signed)
//   focus lost / gained WM_ACTIVATE with WA_INACTIVE / WA_ACTIVE
//   window closed       WM_CLOSE (also for SIGINT and SIGTERM)
// A held key repeats as WM_KEYDOWN with bit 30 of lParam set.
//
// With SDL's dummy video driver (SDL_VIDEODRIVER=dummy) everything runs
// headless; tests inject input through the functions at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ce_types.h"

namespace ce {

// --- messages --------------------------------------------------------------------
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_USER = 0x0400;

constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;
constexpr WPARAM MK_LBUTTON = 0x0001;

// --- virtual keys ------------------------------------------------------------------
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_PROCESSKEY = 0xE5;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_F8 = 0x77;
constexpr UINT VK_F9 = 0x78;
constexpr UINT VK_TSTAR = VK_F8;   // the phone's '*' key
constexpr UINT VK_TPOUND = VK_F9;  // the phone's '#' key

// --- windows -----------------------------------------------------------------------
using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using TIMERPROC = void (*)(HWND window, UINT message, uintptr_t timerId, DWORD time);

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

struct WNDCLASSW {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    void* hIcon = nullptr;
    void* hCursor = nullptr;
    void* hbrBackground = nullptr;
    const char16_t* lpszMenuName = nullptr;
    const char16_t* lpszClassName = nullptr;
};

constexpr int GWL_USERDATA = -21;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;
constexpr DWORD QS_ALLINPUT = 0x04FF;

// The client area every window reports.
constexpr int kScreenWidth = 480;
constexpr int kScreenHeight = 640;

// Registers a window class by name; 0 (ERROR_CLASS_ALREADY_EXISTS) when the
// name is taken, or for a missing name or procedure.
ATOM RegisterClassW(const WNDCLASSW* windowClass);
BOOL UnregisterClassW(const char16_t* className, HINSTANCE instance);

// Readies this process's environment for the desktop libraries the window
// loads (where there is no session bus, and the input method's Compose
// table); the program calls it first, before any thread starts. Programs it
// starts get the environment as it was.
void PrepareDesktopStart();
// Creates the top-level window of a registered class: opens the desktop
// window (hidden until ShowWindow), sends WM_CREATE to its procedure and
// registers it under its class name for FindWindowW in other processes. Only
// one window exists at a time. Null (with a reason on standard error) when no
// video device can be opened.
HWND CreateWindowW(const char16_t* className, const char16_t* windowName, DWORD style, int x, int y, int width,
                   int height, HWND parent, void* menu, HINSTANCE instance, void* parameter);
// Sends WM_DESTROY to the procedure, drops the window's queued messages and
// timers, closes the desktop window. FALSE for an unknown window.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// Whether the desktop's display went away under the window (the program
// then ends as on a close request, but not as a success).
bool DisplayLost();
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowEnabled(HWND window);
// Brings a window forward: a window of this process is raised; the window of
// another instance is asked to raise itself. The low bit of the handle (set
// by callers that also bring owned windows forward) is ignored.
BOOL SetForegroundWindow(HWND window);
// The window registered under the class name (and with that window name,
// when given), in this process or another; null when none.
HWND FindWindowW(const char16_t* className, const char16_t* windowName);
// The window's text: its name.
int GetWindowTextW(HWND window, char16_t* buffer, int room);

LPARAM SetWindowLongW(HWND window, int index, LPARAM value);
LPARAM GetWindowLongW(HWND window, int index);

// Marks the client area for a repaint; UpdateWindow then sends WM_PAINT at
// once when it is marked. The desktop window shows what was last presented.
BOOL InvalidateRect(HWND window, const void* rect, BOOL erase);
BOOL UpdateWindow(HWND window);

// Calls the window's procedure; DefWindowProcW destroys the window on
// WM_CLOSE and returns 0 for everything else.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// --- the message queue -------------------------------------------------------------
// Posts to a window's queue from any thread; FALSE for an unknown window. A
// null window posts a thread message.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Posts WM_QUIT, which is taken once every other posted message is gone,
// whatever window the caller filters on.
void PostQuitMessage(int exitCode);
// Takes the oldest message for the window (null: any) with a number in
// [first, last] (0, 0: any); due timers come after posted messages and
// input. FALSE when none is waiting.
BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT remove);
// As PeekMessageW with PM_REMOVE, waiting until a message comes: 0 for
// WM_QUIT, -1 for an unknown window, else non-zero.
BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last);
// Posts WM_CHAR for a WM_KEYDOWN of a character key ('0' to '9', '*', '#').
BOOL TranslateMessage(const MSG* message);
// Calls the procedure of the message's window (WM_TIMER with a timer routine
// calls the routine).
LRESULT DispatchMessageW(const MSG* message);
// Waits up to timeout ms until one of the events is signalled
// (WAIT_OBJECT_0 + index), a message can be taken (WAIT_OBJECT_0 + count) or
// the time has passed (WAIT_TIMEOUT). Input is looked at at least every few
// milliseconds.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeout, DWORD wakeMask);

// The virtual key that the input method held back (a key message with
// VK_PROCESSKEY); 0 when none.
UINT ImmGetVirtualKey(HWND window);

// --- timers -------------------------------------------------------------------------
// Starts or restarts timer id of the window (WM_TIMER every elapse ms, at
// least 1 ms). Returns the id; 0 for an unknown window.
uintptr_t SetTimer(HWND window, uintptr_t id, UINT elapse, TIMERPROC routine);
BOOL KillTimer(HWND window, uintptr_t id);
// The period of a running timer, 0 when it does not run (tests).
UINT TimerPeriod(HWND window, uintptr_t id);

// --- presenting frames -------------------------------------------------------------
// Copies a rectangle of an RGB565 frame (width x height pixels, pitch pixels
// per row) into the window's client area at the same place; the rectangle is
// clipped to the frame and to the 480 x 640 client area. Any thread may call
// it; the desktop window is updated on the window's thread (at once when that
// is the caller, else at its next look at the queue). FALSE for an unknown
// window or a null frame.
BOOL PresentFrameRect(HWND window, const uint16_t* pixels, int width, int height, int pitch, int x, int y,
                      int rectWidth, int rectHeight);
// The whole frame.
BOOL PresentFrame(HWND window, const uint16_t* pixels, int width, int height, int pitch);

}  // namespace ce

// --- for tests -------------------------------------------------------------------------
namespace ce::test {

// Input as the desktop would deliver it (through SDL's own event queue).
// Keys are SDL key codes (SDLK_*); positions are in desktop-window pixels.
void InjectKey(int sdlKeyCode, bool down, bool repeat = false, bool shift = false);
void InjectMouseButton(bool down, int x, int y);
void InjectMouseMotion(int x, int y, bool leftHeld);
void InjectFocus(bool gained);
void InjectClose();
// A key that the input method holds back: the window gets WM_KEYDOWN with
// VK_PROCESSKEY, and ImmGetVirtualKey gives the real key.
void InjectHeldBackKey(UINT virtualKey);

// The client area as last presented (480 x 640 RGB565); empty before the
// first window.
std::vector<uint16_t> LastFrame();
// Number of PresentFrame/PresentFrameRect calls since the process started,
// and the steady-clock time (ns) of the first.
uint64_t PresentCount();
int64_t FirstPresentTimeNs();
// Writes the client area as last presented to a PNG file (8-bit RGB; RGB565
// widened by bit replication, so 0xFFFF is white). False when it cannot.
bool SaveLastFrameAsPNG(const char* path);
// The desktop window's size in pixels (0, 0 when none).
void WindowSize(int* width, int* height);
// How often the desktop window was updated, and the colour (0xRRGGBB) it
// shows at a pixel of its own (-1 when there is none); window's thread only.
uint64_t ShowCount();
int32_t ShownPixel(int x, int y);
// How often this process was asked to bring its window forward.
uint64_t ForegroundRequests();

}  // namespace ce::test
