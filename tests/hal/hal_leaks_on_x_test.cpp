// The game's own program in a real window on an X server (run under
// xvfb-run), its music played through a real SDL audio device (SDL's disk
// driver): answered "on" at the sound question, closed by the desktop, it
// ends with exit code 0. In the sanitizer build the test command runs it
// with the leak checker on, so any leak of ours makes that exit code 1.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "host_support.h"

// Last: Xlib's macros (None, Status, Bool) would clash with the headers above.
#include <X11/Xlib.h>

extern char** environ;

namespace {

#ifdef VESSILO_PROGRAM

TEST(LeaksOnX, TheGameWithItsMusicInARealWindowEndsWith0) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X server (DISPLAY is not set): run under xvfb-run";
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
    XDisplayLock alone;
    TestRuntimeFolder runtime;
    const std::string sound = runtime.path() + "sound.raw";
    const std::string printed = runtime.path() + "printed.txt";
    // The window shown through the X server's own framebuffer: SDL's GL path
    // would load Mesa's driver, which keeps memory it never frees and is
    // unloaded before the leak check, so that no suppression can name it.
    // A runtime folder of its own: the program starts only once per folder.
    ScopedEnv folder("XDG_RUNTIME_DIR", runtime.path()), database("VESSILO_DATABASE_DIR", runtime.path() + "database"),
        video("SDL_VIDEODRIVER", "x11"),
        noGl("SDL_FRAMEBUFFER_ACCELERATION", "0"), audio("SDL_AUDIODRIVER", "disk"), file("SDL_DISKAUDIOFILE", sound);
    posix_spawn_file_actions_t output;
    posix_spawn_file_actions_init(&output);
    posix_spawn_file_actions_addopen(&output, 1, printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&output, 1, 2);
    std::string program = VESSILO_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &output, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&output);
    ASSERT_EQ(spawned, 0);
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
        }
    } reaper{pid};

    unsigned long window = 0;
    FILE* search = ::popen("timeout 30 xdotool search --sync --name '^Vessilo: The Quiet Agent$' | head -n 1", "r");
    ASSERT_NE(search, nullptr);
    if (std::fscanf(search, "%lu", &window) != 1) window = 0;
    ::pclose(search);
    ASSERT_NE(window, 0u) << "the window did not appear";
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x, Window(window), &a));
    // "Sound on" at the sound question, clicked until the music plays (the
    // logo and the title take the clicks without effect).
    const std::string click = "xdotool mousemove --window " + std::to_string(window) + " " +
                              std::to_string(240 * a.width / 480) + " " + std::to_string(272 * a.height / 640) +
                              " click 1";
    std::error_code ignored;
    bool playing = false;
    for (int waited = 0; waited < realProgramWaitMs(90) && !playing; ++waited) {
        EXPECT_EQ(std::system(click.c_str()), 0);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        playing = std::filesystem::file_size(sound, ignored) > 0 && !ignored;
    }
    EXPECT_TRUE(playing) << "no music through an SDL audio device: " << readFile(printed);
    std::this_thread::sleep_for(std::chrono::seconds(3));

    // The desktop's close request (what a window manager's close button sends).
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = Window(window);
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    XSendEvent(x, Window(window), False, NoEventMask, &close);
    XCloseDisplay(x);
    int status = -1;
    for (int waited = 0; waited < realProgramWaitMs(60000) && ::waitpid(pid, &status, WNOHANG) != pid; waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(WIFEXITED(status)) << "still running or killed: " << readFile(printed);
    reaper.pid = 0;
    EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(printed);
}

#endif

}  // namespace
