// The game's own program in a real window on an X server (run under
// xvfb-run): it shows the logo, clicks and keys sent to the window answer
// the sound question, reach the main menu and start the tutorial, and a
// close request from the desktop ends it with exit code 0.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "golden.h"
#include "host_support.h"

// Last: Xlib's macros (None, Status, Bool) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

#ifdef VESSILO_PROGRAM

bool haveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The window's picture scaled to the game's 480 x 640 screen.
Picture windowPicture(Display* x, Window w) {
    Picture p;
    XWindowAttributes a;
    if (!XGetWindowAttributes(x, w, &a) || a.width <= 0 || a.height <= 0) return p;
    XImage* image = XGetImage(x, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (image == nullptr) return p;
    p.width = 480;
    p.height = 640;
    p.argb.resize(480 * 640);
    for (int y = 0; y < 640; ++y)
        for (int sx = 0; sx < 480; ++sx)
            p.argb[size_t(y) * 480 + size_t(sx)] =
                0xFF000000u | uint32_t(XGetPixel(image, sx * a.width / 480, y * a.height / 640) & 0xFFFFFF);
    XDestroyImage(image);
    return p;
}

// The share of the picture's pixels within 24 of the golden's, by channel.
double likeness(const Picture& shown, const std::string& golden) {
    Picture want;
    if (!readPng(std::string(VESSILO_SOURCE_DIR) + "tests/game/golden/" + golden + ".png", want) || shown.argb.empty())
        return 0;
    size_t same = 0;
    for (size_t i = 0; i < shown.argb.size() && i < want.argb.size(); ++i) {
        bool close = true;
        for (int s = 0; s < 24; s += 8)
            close = close && std::abs(int((shown.argb[i] >> s) & 0xFF) - int((want.argb[i] >> s) & 0xFF)) <= 24;
        same += close;
    }
    return double(same) / double(shown.argb.size());
}

bool waitFor(const std::function<bool()>& holds, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        if (holds()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return holds();
}

TEST(GameOnX, TheLogoThenClicksAndKeysIntoTheTutorialAndACloseRequestEndsWith0) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X server (DISPLAY is not set): run under xvfb-run";
    if (!haveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    TestRuntimeFolder runtime;
    const std::string database = runtime.path() + "database";
    std::filesystem::create_directories(database);
    std::vector<std::string> settings = {"XDG_RUNTIME_DIR=" + runtime.path(), "VESSILO_DATABASE_DIR=" + database,
                                         "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                                         "ASAN_OPTIONS=detect_leaks=0"};
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
    // What the program prints goes to a file of the test's.
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

    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    Window window = 0;
    {
        FILE* pipe = ::popen("timeout 20 xdotool search --sync --name '^Vessilo: The Quiet Agent$' | head -n 1", "r");
        ASSERT_NE(pipe, nullptr);
        unsigned long id = 0;
        if (std::fscanf(pipe, "%lu", &id) != 1) id = 0;
        ::pclose(pipe);
        window = Window(id);
    }
    ASSERT_NE(window, 0u) << "the window did not appear";
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x, window, &a));
    auto click = [&](int sx, int sy) {
        const std::string command = "xdotool mousemove --window " + std::to_string(window) + " " +
                                    std::to_string(sx * a.width / 480) + " " + std::to_string(sy * a.height / 640) +
                                    " click 1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    };
    auto seen = [&](const char* golden, double share) {
        return waitFor([&] { return likeness(windowPicture(x, window), golden) >= share; }, 15000);
    };

    // The logo, then the title, then the sound question.
    EXPECT_TRUE(seen("e2e_logo_tick1", 0.95)) << "the logo";
    EXPECT_TRUE(seen("e2e_sound_question", 0.95)) << "the sound question";
    click(240, 272);  // "on"
    EXPECT_TRUE(seen("e2e_main_menu", 0.95)) << "the main menu";
    click(240, 472);  // its first entry: the tutorial
    EXPECT_TRUE(waitFor([&] { return likeness(windowPicture(x, window), "e2e_main_menu") < 0.5; }, 15000))
        << "the tutorial";
    std::this_thread::sleep_for(std::chrono::seconds(2));
    // Keys reach it: Return turns the story's page (the process stays).
    EXPECT_EQ(std::system(("xdotool key --window " + std::to_string(window) + " Return").c_str()), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0) << "the program ended early";

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
    int status = -1;
    ASSERT_TRUE(waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 20000)) << "still running";
    reaper.pid = 0;
    XCloseDisplay(x);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(printed).find("Exception"), std::string::npos) << readFile(printed);
}

#endif

}  // namespace
