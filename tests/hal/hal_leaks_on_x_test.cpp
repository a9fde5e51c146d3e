// The game's own program in a real window on an X server (run under
// xvfb-run), with SDL's audio writing to a file so that the music plays
// through a real SDL audio device: answered "on" at the sound question, the
// menu's music playing, closed by the desktop, it ends with exit code 0. In
// the sanitizer build the test command runs it with the leak checker on (and
// only the outside libraries' own allocations suppressed), so any leak of
// ours makes the exit code 1.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "host_support.h"

// Last: Xlib's macros (None, Status, Bool) would clash with the headers above.
#include <X11/Xlib.h>

extern char** environ;

namespace {

#ifdef VESSILO_PROGRAM

int xdotool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()); }

TEST(LeaksOnX, TheGameWithItsMusicInARealWindowEndsWith0) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X server (DISPLAY is not set): run under xvfb-run";
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
    XDisplayLock alone;
    TestRuntimeFolder runtime;
    const std::string database = runtime.path() + "database";
    const std::string sound = runtime.path() + "sound.raw";
    // The window shown through the X server's own framebuffer: SDL's GL
    // path would load Mesa's driver, which keeps memory it never frees and
    // is unloaded before the leak check, so that no suppression can name it.
    std::vector<std::string> settings = {"XDG_RUNTIME_DIR=" + runtime.path(),
                                         "VESSILO_DATABASE_DIR=" + database,
                                         "SDL_VIDEODRIVER=x11",
                                         "SDL_FRAMEBUFFER_ACCELERATION=0",
                                         "SDL_AUDIODRIVER=disk",
                                         "SDL_DISKAUDIOFILE=" + sound};
    std::vector<std::string> all;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string key = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& s : settings) replaced = replaced || s.rfind(key, 0) == 0;
        if (!replaced) all.push_back(entry);
    }
    all.insert(all.end(), settings.begin(), settings.end());
    std::vector<char*> envp;
    for (std::string& s : all) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string program = VESSILO_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    const std::string printed = runtime.path() + "printed.txt";
    posix_spawn_file_actions_t output;
    posix_spawn_file_actions_init(&output);
    posix_spawn_file_actions_addopen(&output, 1, printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&output, 1, 2);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &output, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&output);
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
    } reaper{pid};

    Window window = 0;
    {
        FILE* pipe = ::popen("timeout 30 xdotool search --sync --name '^Vessilo: The Quiet Agent$' | head -n 1", "r");
        ASSERT_NE(pipe, nullptr);
        unsigned long id = 0;
        if (std::fscanf(pipe, "%lu", &id) != 1) id = 0;
        ::pclose(pipe);
        window = Window(id);
    }
    ASSERT_NE(window, 0u) << "the window did not appear";
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x, window, &a));
    // "Sound on" at the sound question, clicked until the music plays (the
    // logo and the title take the clicks without effect).
    const std::string click = "mousemove --window " + std::to_string(window) + " " + std::to_string(240 * a.width / 480) +
                              " " + std::to_string(272 * a.height / 640) + " click 1";
    std::error_code ignored;
    bool playing = false;
    for (int waited = 0; waited < 90 && !playing; ++waited) {
        EXPECT_EQ(xdotool(click), 0);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        playing = std::filesystem::file_size(sound, ignored) > 0 && !ignored;
    }
    EXPECT_TRUE(playing) << "no music through an SDL audio device: " << readFile(printed);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0) << "the program ended early: " << readFile(printed);

    // The desktop's close request (what a window manager's close button sends).
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &close);
    XFlush(x);
    XCloseDisplay(x);
    int status = -1;
    for (int waited = 0; waited < 60000 && ::waitpid(pid, &status, WNOHANG) != pid; waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(WIFEXITED(status)) << "still running or killed: " << readFile(printed);
    reaper.pid = 0;
    EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(printed);
    EXPECT_EQ(readFile(printed).find("LeakSanitizer"), std::string::npos) << readFile(printed);
}

#endif

}  // namespace
