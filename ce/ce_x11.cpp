// The X connection under the desktop window. Xlib's own handlers end the
// process from whichever thread meets the error (exit() while the program's
// threads still run); here an error about the window means the window was
// destroyed from outside, and a broken connection means the display went
// away: both are noted for the window's thread, which ends the program as a
// close request does.
#include <SDL.h>
#include <SDL_syswm.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "ce_internal.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace ce::detail {

namespace {

std::atomic<bool> g_windowGone{false};
std::atomic<bool> g_displayGone{false};

#if defined(SDL_VIDEO_DRIVER_X11)

std::atomic<::Window> g_xWindow{0};
std::atomic<Display*> g_xDisplay{nullptr};
std::atomic<bool> g_told{false};

// Errors are answered, not fatal. One that names the window (any request
// on a window destroyed by another client fails with BadWindow, a drawing
// with BadDrawable) means the window is gone; others (a request the server
// refuses) leave the window as it is.
int onXError(Display*, XErrorEvent* error) {
    const ::Window window = g_xWindow.load();
    if (window != 0 && error->resourceid == window &&
        (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        g_windowGone = true;
        Wake();
    }
    return 0;
}

// The connection broke (the server ended or the socket closed): one line,
// then Xlib's exit is replaced by the mark below.
int onXIOError(Display* display) {
    if (!g_told.exchange(true))
        std::fprintf(stderr, "vessilo: the display %s went away\n", display ? DisplayString(display) : "");
    return 0;
}

// Xlib returns from here to its caller; every later request on the
// connection does nothing.
void onXIOExit(Display*, void*) {
    g_displayGone = true;
    Wake();
}

// The connection's input wakes the window's thread: a thread of its own
// waits for the connection to have something to read and wakes the window's
// thread, which then takes it (SDL reads it all; see NotePumped); only then
// is the connection waited for again. So the window's thread sleeps until
// the desktop has something for it instead of looking every few
// milliseconds. This thread never calls Xlib.
class InputWatch {
public:
    ~InputWatch() { stop(); }
    void start(int fd) {
        stop();
        if (::pipe2(stopPipe_, O_CLOEXEC) != 0) return;
        running_ = true;
        thread_ = std::thread([this, fd] { run(fd); });
    }
    void stop() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            running_ = false;
        }
        pumped_.notify_all();
        const char byte = 0;
        (void)!::write(stopPipe_[1], &byte, 1);
        thread_.join();
        ::close(stopPipe_[0]);
        ::close(stopPipe_[1]);
    }
    void notePumped() {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            ++pumps_;
        }
        pumped_.notify_all();
    }

private:
    void run(int fd) {
        for (;;) {
            uint64_t seen;
            {
                std::lock_guard<std::mutex> guard(mutex_);
                if (!running_) return;
                seen = pumps_;
            }
            pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) continue;
            if (fds[1].revents != 0) return;
            Wake();
            // A connection that broke stays readable: Xlib notes the loss
            // when the window's thread next reads it; nothing more to watch.
            if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return;
            std::unique_lock<std::mutex> guard(mutex_);
            pumped_.wait(guard, [&] { return !running_ || pumps_ != seen; });
        }
    }

    std::mutex mutex_;
    std::condition_variable pumped_;
    uint64_t pumps_ = 0;
    bool running_ = false;
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
};

InputWatch g_inputWatch;

#endif

}  // namespace

void WatchDisplay(void* sdlWindow) {
    g_windowGone = false;
    g_displayGone = false;
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!sdlWindow || !SDL_GetWindowWMInfo(static_cast<SDL_Window*>(sdlWindow), &info) ||
        info.subsystem != SDL_SYSWM_X11)
        return;
    g_xWindow = info.info.x11.window;
    g_xDisplay = info.info.x11.display;
    g_told = false;
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onXIOError);
    XSetIOErrorExitHandler(info.info.x11.display, onXIOExit, nullptr);
    // The window's destruction by another client also comes as an event.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    g_inputWatch.start(ConnectionNumber(info.info.x11.display));
#endif
}

void NotePumped() {
#if defined(SDL_VIDEO_DRIVER_X11)
    g_inputWatch.notePumped();
#endif
}

bool InputWakesWindowThread() {
#if defined(SDL_VIDEO_DRIVER_X11)
    return g_xDisplay.load() != nullptr;
#else
    return false;
#endif
}

void FollowWindow(void* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (g_xWindow.load() == 0 || !sdlWindow) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(static_cast<SDL_Window*>(sdlWindow), &info) && info.subsystem == SDL_SYSWM_X11)
        g_xWindow = info.info.x11.window;
#else
    (void)sdlWindow;
#endif
}

void UnwatchDisplay() {
#if defined(SDL_VIDEO_DRIVER_X11)
    // SDL puts Xlib's fatal handler back before it closes the connection:
    // the answers to its last requests on a window that is gone (destroying
    // it fails) are awaited here, while the errors are still ours.
    g_inputWatch.stop();
    Display* display = g_xDisplay.exchange(nullptr);
    if (display && !g_displayGone.load()) XSync(display, False);
    g_xWindow = 0;
#endif
}

void NoteDesktopEvent(const SDL_Event& event) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg || event.syswm.msg->subsystem != SDL_SYSWM_X11) return;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type == DestroyNotify && x.xdestroywindow.window == g_xWindow.load() && x.xdestroywindow.window != 0)
        g_windowGone = true;
#else
    (void)event;
#endif
}

bool WindowGone() { return g_windowGone.load(); }

bool DisplayGone() { return g_displayGone.load(); }

}  // namespace ce::detail
