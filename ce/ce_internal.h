// Shared pieces of the stand-ins (not for use outside ce/).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ce_types.h"

union SDL_Event;

namespace ce::detail {

// A kernel object reachable through a HANDLE.
struct KernelObject {
    virtual ~KernelObject() = default;
    // Called when the handle is closed (before the table lets go of it).
    virtual void close() {}
};

HANDLE AddObject(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> FindObject(HANDLE handle);
// Removes the handle from the table and closes the object; false when unknown.
bool RemoveObject(HANDLE handle);

template <class T>
std::shared_ptr<T> Find(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(FindObject(handle));
}

// One lock and condition for everything a thread may wait for (posted
// messages, events, the quit flag, a frame to present): whoever makes
// something waitable happen calls Wake(), or bumps WakeSequence() under
// WakeMutex() and notifies WakeCondition().
std::mutex& WakeMutex();
std::condition_variable& WakeCondition();
uint64_t& WakeSequence();  // read and written under WakeMutex()
void Wake();

// An event's state (see ce_sync.cpp); Consume resets an auto-reset event.
bool ConsumeEvent(HANDLE event);

// A name made safe for a file name: letters, digits, '.', '_' and '-' stay,
// every other byte of its UTF-8 form becomes %XX.
std::string FileSafe(const std::string& name);

// Whether the caller is the thread that owns the desktop window.
bool IsWindowThread();

// The environment for a program this one starts ("NAME=value" entries): this
// process's, with what PrepareDesktopStart changed put back as it was.
std::vector<std::string> ChildEnvironment();

// --- the window's client area (ce_frame.cpp) --------------------------------------------
// The desktop window that shows the client area (an SDL_Window), set by the
// window's thread when it opens and closes it.
void SetFrameTarget(void* sdlWindow);
// Shows the client area in the desktop window when something new was
// presented or the desktop asked for a repaint (force); window's thread only.
void ShowFrame(bool force);
// Copies a clipped rectangle of a frame into the client area; marks it for
// ShowFrame.
bool StoreFrameRect(const uint16_t* pixels, int width, int height, int pitch, int x, int y, int rectWidth,
                    int rectHeight);

// --- the desktop's display (ce_x11.cpp) -------------------------------------------------
// Watches the connection under the desktop window (an SDL_Window) for the
// window's destruction by another client and for the display's loss; the
// window's thread calls these.
void WatchDisplay(void* sdlWindow);
// Takes the desktop window's current X window: SDL makes it anew when it
// changes how the window is drawn (for OpenGL), destroying the old one.
// Called before the desktop's events are looked at.
void FollowWindow(void* sdlWindow);
// After the window was destroyed, before SDL lets go of the connection.
void UnwatchDisplay();
// Looks at each desktop event for the window's destruction.
void NoteDesktopEvent(const SDL_Event& event);
// The window's thread has taken everything the connection had for it (the
// connection is then watched again); whether the connection's input wakes
// the window's thread (else it must look for input itself, often).
void NotePumped();
bool InputWakesWindowThread();
// Whether the window was destroyed from outside; whether the display went
// away (nothing may be asked of the desktop any more).
bool WindowGone();
bool DisplayGone();

}  // namespace ce::detail
