// Platform layer: the main window, window objects (the native peers of
// displayables) and the displayable entry points.
//
// The main window shows one window object at a time, the current one, kept in
// the window's user data. The host bridge's window procedure hands every
// message of the main window to the current object's window procedure
// (HAL_WindowObject::windowProc), which turns the system's own messages into
// host-bridge calls and input into runtime events (HAL_EVENT_KEY_* with the
// key code; HAL_EVENT_POINTER_* with x, y; all posted through hostPostEvent).
//
// For the screen buffer family (drawing):
//  - HAL_WindowObject::screenBuffer: the displayable's screen buffer; the
//    buffer family sets it when it makes one over a canvas peer.
//  - HAL_flushPendingScreenBuffer (declared below, defined by that family):
//    the message loop calls it on the current object's buffer after every
//    polling pass; it answers whether it copied a frame.
//  - HAL_presentFrame / HAL_presentFrameRect: copy an RGB565 frame (or a
//    rectangle of it) to the main window. Any thread may call them; the
//    desktop window is updated on the main thread.
//  - HAL_wakeMessageLoop: called after marking a buffer pending from another
//    thread, so that the main thread flushes it at once instead of after
//    its next short wait.
//  - Tests read back what was presented with ce::test::LastFrame() and
//    ce::test::SaveLastFrameAsPNG().
#pragma once

#include <cstdint>
#include <vector>

#include "ce_window.h"
#include "hal_message.h"

struct HAL_ScreenBuffer;  // the screen buffer family's record
struct HAL_Command;       // a command peer (hal_command.h)

// The native peer of a displayable. The operations follow the peer's table:
// 0 delete, 1 width, 2 height, 3 (unused), 4 full-screen mode, 5 title,
// 6 ticker, 7 add command, 8 remove command, 9 window procedure.
class HAL_WindowObject {
public:
    explicit HAL_WindowObject(intptr_t owner) : owner_(owner) {}
    virtual ~HAL_WindowObject();
    HAL_WindowObject(const HAL_WindowObject&) = delete;
    HAL_WindowObject& operator=(const HAL_WindowObject&) = delete;

    virtual int32_t width() const;   // 480
    virtual int32_t height() const;  // 640
    virtual void setFullScreenMode(bool fullScreen, bool hideSoftKeys);
    virtual void setTitle(const char16_t* characters, int32_t length);
    virtual void setTicker(const char16_t* characters, int32_t length);
    // The commands the displayable offers, in the order they were added
    // (each once); a command event (15) carries a command's platform id
    // (HAL_getCommandId).
    virtual void addCommand(HAL_Command* commandPeer);
    virtual void removeCommand(HAL_Command* commandPeer);
    // The window-procedure operation (HAL_hostWindowProc), shared by every
    // window object: activation, power, exit and close, destruction,
    // collection and orientation messages, then keys and the stylus.
    virtual ce::LRESULT windowProc(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam);

    // The value given to HAL_createCanvas: the first argument word of
    // HAL_EVENT_DISPLAYABLE_CURRENT and HAL_EVENT_SIZE_CHANGED.
    intptr_t owner() const { return owner_; }
    bool fullScreen() const { return fullScreen_; }
    const std::vector<HAL_Command*>& commands() const { return commands_; }

    HAL_ScreenBuffer* screenBuffer = nullptr;

private:
    intptr_t owner_;
    bool fullScreen_ = false;
    std::vector<HAL_Command*> commands_;
};

// The peer of a canvas.
class HAL_CanvasWindow : public HAL_WindowObject {
public:
    using HAL_WindowObject::HAL_WindowObject;
};

// --- the main window -----------------------------------------------------------------
// Registers the window class under the window name and creates the main
// window with that name and the given procedure. Non-zero on success.
int HAL_createHostWindow(void* instance, const char16_t* windowName, ce::WNDPROC procedure);
// (The main window itself: HAL_getMainWindow, hal_message.h.)
// The window object in the main window's user data, or null.
HAL_WindowObject* HAL_getCurrentWindowObject();
// Stores a window object there, then repaints the whole window.
void HAL_setCurrentWindowObject(HAL_WindowObject* object);
// Forgets the window class (shutdown).
void HAL_releaseHostWindow();

// --- displayable entry points --------------------------------------------------------
// A new canvas peer for the owner: HAL_OK; HAL_BAD_ARGUMENT for a null
// out-parameter; HAL_OUT_OF_MEMORY (with *peer null) when it cannot be
// allocated.
int HAL_createCanvas(HAL_WindowObject** peer, intptr_t owner);
// Deletes a non-null peer (the current one is taken out of the window
// first); HAL_OK.
int HAL_deleteCanvas(HAL_WindowObject* peer);
// HAL_BAD_ARGUMENT for a null peer; else each non-null out-parameter gets the
// width or height; HAL_OK.
int HAL_getDisplayableSize(HAL_WindowObject* peer, int32_t* width, int32_t* height);
// Null peers (and null characters) are ignored.
void HAL_setFullScreenMode(HAL_WindowObject* peer, int flag);
void HAL_setTitle(HAL_WindowObject* peer, const char16_t* characters, int32_t length);
void HAL_setTicker(HAL_WindowObject* peer, const char16_t* characters, int32_t length);
// Null peers and null command peers are ignored.
void HAL_addCommand(HAL_WindowObject* peer, HAL_Command* commandPeer);
void HAL_removeCommand(HAL_WindowObject* peer, HAL_Command* commandPeer);
// Shows the peer in the main window and posts HAL_EVENT_DISPLAYABLE_CURRENT
// (the peer's owner) at once on the calling runtime thread, which holds the
// runtime lock. HAL_OK; HAL_BAD_ARGUMENT for a null peer.
int HAL_setCurrentDisplayable(HAL_WindowObject* peer);
// isColor 1; numColors 1 << 16; alphaLevels 32; doubleBuffered 1.
void HAL_getDisplayCapabilities(int32_t* isColor, int32_t* numColors, int32_t* alphaLevels, int32_t* doubleBuffered);

// Runs runner(argument) on the main thread, under the runtime lock, after
// the events the main thread is handling now; when the call is dropped
// instead, discard(argument) runs (if given) to release what the argument
// holds. HAL_OK; HAL_BAD_ARGUMENT for a null runner.
int HAL_callSerially(void (*runner)(void* argument), void* argument, void (*discard)(void* argument) = nullptr);
// Runs the serial calls queued so far (the message loop, main thread, with
// the runtime lock held and the runtime entered). True when it ran any.
bool HAL_runSerialCalls();
// Drops queued serial calls without running them (shutdown), running the
// discard function of each (under the runtime lock while the runtime lives).
void HAL_dropSerialCalls();

// --- presenting --------------------------------------------------------------------
// Copies an RGB565 frame (pitch pixels per row) or a rectangle of it to the
// same place in the main window (clipped to 480 x 640). HAL_OK;
// HAL_BAD_ARGUMENT for a null frame; HAL_FAILED when there is no main window.
int HAL_presentFrame(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch);
int HAL_presentFrameRect(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch, int32_t x, int32_t y,
                         int32_t rectWidth, int32_t rectHeight);
// Wakes the main thread's message loop from its wait between passes.
void HAL_wakeMessageLoop();
// The auto-reset event that HAL_wakeMessageLoop signals (the loop waits on it).
ce::HANDLE HAL_messageLoopWakeEvent();
// Whether the caller is the main thread (the thread that started up).
bool HAL_isMainThread();

// The screen buffer family's flush of a pending buffer (hal_screen.cpp;
// under the buffer's lock: a pending buffer is copied whole to the window
// and marked not pending). True when it copied.
bool HAL_flushPendingScreenBuffer(HAL_ScreenBuffer* buffer);
