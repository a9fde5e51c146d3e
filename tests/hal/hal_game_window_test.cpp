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

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <utility>
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

// An X error on this test's own connection (the window not yet viewable,
// or destroyed by the test) leaves its request's answer empty instead of
// ending the test program, as Xlib's default handler would.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The window's picture scaled to the game's 480 x 640 screen (none when the
// window cannot be read).
Picture windowPicture(Display* x, Window w) {
    XSetErrorHandler(ignoreXError);
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
    for (int waited = 0; waited < realProgramWaitMs(ms); waited += 50) {
        if (holds()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return holds();
}

// The game's program started on the test's X server with a database of its
// own, what it prints going to a file; killed if the test leaves it running.
struct GameProcess {
    TestRuntimeFolder runtime;
    std::string printed;
    pid_t pid = 0;

    explicit GameProcess(const std::string& display = "") {
        const std::string database = runtime.path() + "database";
        std::filesystem::create_directories(database);
        std::vector<std::string> settings = {"XDG_RUNTIME_DIR=" + runtime.path(), "VESSILO_DATABASE_DIR=" + database,
                                             "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                                             "ASAN_OPTIONS=detect_leaks=0"};
        if (!display.empty()) settings.push_back("DISPLAY=" + display);
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
        printed = runtime.path() + "printed.txt";
        posix_spawn_file_actions_t output;
        posix_spawn_file_actions_init(&output);
        posix_spawn_file_actions_addopen(&output, 1, printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&output, 1, 2);
        if (posix_spawn(&pid, program.c_str(), &output, nullptr, argv, envp.data()) != 0) pid = 0;
        posix_spawn_file_actions_destroy(&output);
    }
    ~GameProcess() {
        if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // The window's X id, 0 when it does not appear within 20 s.
    static Window findWindow(const std::string& display = "") {
        const std::string command = (display.empty() ? "" : "DISPLAY=" + display + " ") +
                                    "timeout 20 xdotool search --sync --name '^Vessilo: The Quiet Agent$' | head -n 1";
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return 0;
        unsigned long id = 0;
        if (std::fscanf(pipe, "%lu", &id) != 1) id = 0;
        ::pclose(pipe);
        return Window(id);
    }
    // The exit status once it ended within `ms`; -1 while it still runs.
    int waitForEnd(int ms) {
        int status = -1;
        if (!waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, ms)) return -1;
        pid = 0;
        return status;
    }
};

// A mouse action (`what`: "click 1", "mousedown 1", ...) at a point of the
// game's 480 x 640 screen, scaled to the window.
void mouseAt(Window window, const XWindowAttributes& a, int sx, int sy, const std::string& what) {
    const std::string command = "xdotool mousemove --window " + std::to_string(window) + " " +
                                std::to_string(sx * a.width / 480) + " " + std::to_string(sy * a.height / 640) + " " +
                                what;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

bool skipWithoutX(std::string* why) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) *why = "no X server (DISPLAY is not set): run under xvfb-run";
    else if (!haveProgram("xdotool")) *why = "xdotool is not installed";
    return !why->empty();
}

TEST(GameOnX, TheLogoThenClicksAndKeysIntoTheTutorialAndACloseRequestEndsWith0) {
    std::string why;
    if (skipWithoutX(&why)) GTEST_SKIP() << why;
    XDisplayLock alone;
    GameProcess game;
    ASSERT_GT(game.pid, 0);
    const pid_t pid = game.pid;

    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    const Window window = GameProcess::findWindow();
    ASSERT_NE(window, 0u) << "the window did not appear";
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x, window, &a));
    auto click = [&](int sx, int sy) { mouseAt(window, a, sx, sy, "click 1"); };
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
    const int status = game.waitForEnd(20000);
    XCloseDisplay(x);
    ASSERT_NE(status, -1) << "still running";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(game.printed).find("Exception"), std::string::npos) << readFile(game.printed);
}

// Another client destroys the window (what `xdotool windowclose` does, or
// what follows a window manager's end): the program's later requests on it
// fail, and it ends as on a close request, with status 0 and its saves
// written, in a level and at the sound question alike.
TEST(GameOnX, AWindowDestroyedFromOutsideEndsTheProgramWith0) {
    std::string why;
    if (skipWithoutX(&why)) GTEST_SKIP() << why;
    XDisplayLock alone;
    for (const bool inLevel : {false, true}) {
        SCOPED_TRACE(inLevel ? "in the tutorial" : "at the sound question");
        GameProcess game;
        ASSERT_GT(game.pid, 0);
        Display* x = XOpenDisplay(nullptr);
        ASSERT_NE(x, nullptr);
        const Window window = GameProcess::findWindow();
        ASSERT_NE(window, 0u) << "the window did not appear";
        XWindowAttributes a;
        ASSERT_TRUE(XGetWindowAttributes(x, window, &a));
        EXPECT_TRUE(waitFor([&] { return likeness(windowPicture(x, window), "e2e_sound_question") >= 0.95; }, 15000));
        if (inLevel) {
            auto click = [&](int sx, int sy) { mouseAt(window, a, sx, sy, "click 1"); };
            click(240, 272);  // sound on: the choice is saved
            EXPECT_TRUE(waitFor([&] { return likeness(windowPicture(x, window), "e2e_main_menu") >= 0.95; }, 15000));
            click(240, 472);
            std::this_thread::sleep_for(std::chrono::seconds(2));
        }
        XCloseDisplay(x);
        const std::string close = "xdotool windowclose " + std::to_string(window);
        EXPECT_EQ(std::system(close.c_str()), 0);
        const int status = game.waitForEnd(20000);
        ASSERT_NE(status, -1) << "still running after its window was destroyed";
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << "\n"
                                       << readFile(game.printed);
        EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(game.printed);
        EXPECT_EQ(readFile(game.printed).find("Exception"), std::string::npos) << readFile(game.printed);
        if (inLevel) {
            EXPECT_TRUE(std::filesystem::exists(game.runtime.path() + "database/store-0"))
                << "the options were not saved";
        }
    }
}

// The X server goes away under the program (it ended, or the connection
// broke): one line says so, and the program ends in order with a status
// that is not 0, never by abort.
TEST(GameOnX, ADisplayThatGoesAwayEndsTheProgramWithOneLineAndStatus1) {
    if (!haveProgram("Xvfb") || !haveProgram("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed";
    // An X server of the test's own, which the test can end. It names its
    // display once it takes connections; on a machine where other servers
    // come and go, one that lost its display to another is started again.
    struct Server {
        pid_t pid = 0;
        ~Server() { stop(SIGKILL); }
        void stop(int signal) {
            if (pid <= 0) return;
            ::kill(pid, signal);
            ::waitpid(pid, nullptr, 0);
            pid = 0;
        }
        std::string start() {
            int ends[2];
            if (::pipe(ends) != 0) return "";
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_adddup2(&actions, ends[1], 3);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            std::vector<std::string> args = {"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            const bool spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ) == 0;
            posix_spawn_file_actions_destroy(&actions);
            ::close(ends[1]);
            char number[32] = {};
            const ssize_t got = spawned ? ::read(ends[0], number, sizeof number - 1) : -1;
            ::close(ends[0]);
            if (!spawned) pid = 0;
            if (got <= 0) return "";
            const std::string display = ":" + std::string(number, std::strcspn(number, "\n"));
            const bool open = waitFor(
                [&] {
                    Display* probe = XOpenDisplay(display.c_str());
                    if (probe) XCloseDisplay(probe);
                    return probe != nullptr;
                },
                3000);
            return open ? display : "";
        }
    } xserver;
    std::string display;
    for (int attempt = 0; attempt < 3 && display.empty(); ++attempt) {
        xserver.stop(SIGKILL);
        display = xserver.start();
    }
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";

    GameProcess game(display);
    ASSERT_GT(game.pid, 0);
    ASSERT_NE(GameProcess::findWindow(display), 0u) << "the window did not appear on " << display;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    xserver.stop(SIGTERM);
    const int status = game.waitForEnd(20000);
    ASSERT_NE(status, -1) << "still running after its display went away";
    const std::string printed = readFile(game.printed);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << "\n"
                                   << printed;
    EXPECT_EQ(WEXITSTATUS(status), 1) << printed;
    // One line of ours, and nothing from Xlib's handlers or an abort.
    const std::string line = "vessilo: the display " + display + " went away\n";
    const size_t at = printed.find(line);
    EXPECT_NE(at, std::string::npos) << printed;
    EXPECT_EQ(printed.find(line, at + 1), std::string::npos) << printed;
    for (const char* foreign : {"X connection", "XIO", "terminate", "Exception"})
        EXPECT_EQ(printed.find(foreign), std::string::npos) << foreign << " in:\n" << printed;
}

// How far the world band of the screen (below the head-up bar, above the
// pad) has scrolled from `before` to `after`: the horizontal shift that
// lines up the most pixels; 0 when nothing scrolled.
int scrolled(const Picture& before, const Picture& after) {
    int best = 0;
    double bestShare = -1;
    for (int shift = -160; shift <= 160; ++shift) {
        size_t same = 0, compared = 0;
        for (int y = 120; y < 420; y += 3) {
            for (int x = std::max(0, shift); x < std::min(480, 480 + shift); x += 2) {
                const uint32_t a = before.argb[size_t(y) * 480 + size_t(x)];
                const uint32_t b = after.argb[size_t(y) * 480 + size_t(x - shift)];
                bool close = true;
                for (int c = 0; c < 24; c += 8) close = close && std::abs(int((a >> c) & 0xFF) - int((b >> c) & 0xFF)) <= 8;
                same += close;
                ++compared;
            }
        }
        const double share = double(same) / double(compared);
        if (share > bestShare + 1e-9 || (std::abs(share - bestShare) <= 1e-9 && std::abs(shift) < std::abs(best))) {
            bestShare = share;
            best = shift;
        }
    }
    return best;
}

// The share of the pixels in the middle of the screen (where a story's box
// stands) that differ between `a` and `b`.
double changedShare(const Picture& a, const Picture& b) {
    if (a.argb.size() != b.argb.size() || a.argb.empty()) return 1;
    size_t changed = 0, compared = 0;
    for (int y = 120; y < 420; ++y) {
        for (int x = 30; x < 450; ++x, ++compared) {
            const uint32_t p = a.argb[size_t(y) * 480 + size_t(x)], q = b.argb[size_t(y) * 480 + size_t(x)];
            bool close = true;
            for (int c = 0; c < 24; c += 8) close = close && std::abs(int((p >> c) & 0xFF) - int((q >> c) & 0xFF)) <= 8;
            changed += !close;
        }
    }
    return double(changed) / double(compared);
}

// The middle of the pad's box `id` on the screen, from the game's art (the
// left pad's frame stands at the screen's bottom-left corner).
std::pair<int, int> padBox(int id) {
    std::ifstream in(std::string(VESSILO_SOURCE_DIR) + "assets/game/pack14_frame.json");
    const nlohmann::json art = nlohmann::json::parse(in, nullptr, false);
    if (art.is_discarded()) return {-1, -1};
    for (const auto& resource : art.at("resources")) {
        if (resource.value("kind", "") != "animset" || resource.value("index", -1) != 1) continue;
        for (const auto& box : resource.at("frames").at(0).value("boxes", nlohmann::json::array()))
            if (box.at("id").get<int>() == id)
                return {box.at("x").get<int>() + box.at("width").get<int>() / 2,
                        640 + box.at("y").get<int>() + box.at("height").get<int>() / 2};
    }
    return {-1, -1};
}

// A mouse button held on the pad's right arrow walks the agent: the world
// scrolls after it, where it stays put without the press.
TEST(GameOnX, APressHeldOnThePadsRightArrowWalksTheAgent) {
    std::string why;
    if (skipWithoutX(&why)) GTEST_SKIP() << why;
    const auto [rx, ry] = padBox(4);
    ASSERT_GE(rx, 0) << "no right arrow in the pad's art";
    XDisplayLock alone;
    GameProcess game;
    ASSERT_GT(game.pid, 0);
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    const Window window = GameProcess::findWindow();
    ASSERT_NE(window, 0u) << "the window did not appear";
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x, window, &a));
    auto mouse = [&](int sx, int sy, const std::string& what) { mouseAt(window, a, sx, sy, what); };
    auto seen = [&](const char* golden, double share) {
        return waitFor([&] { return likeness(windowPicture(x, window), golden) >= share; }, 15000);
    };
    ASSERT_TRUE(seen("e2e_sound_question", 0.95)) << "the sound question";
    mouse(240, 272, "click 1");  // "on"
    ASSERT_TRUE(seen("e2e_main_menu", 0.95)) << "the main menu";
    mouse(240, 472, "click 1");  // the tutorial
    ASSERT_TRUE(waitFor([&] { return likeness(windowPicture(x, window), "e2e_main_menu") < 0.5; }, 15000));
    // Its intro and its story's pages passed by taps in the middle of the
    // screen until the game is in play: a tap that changes nothing in the
    // middle of the screen (no story page turned or closed) and a world
    // that then stays put.
    Picture still, idle;
    bool inPlay = false;
    for (int tap = 0; tap < 40 && !inPlay; ++tap) {
        const Picture before = windowPicture(x, window);
        mouse(240, 320, "click 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        still = windowPicture(x, window);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        idle = windowPicture(x, window);
        inPlay = changedShare(before, still) < 0.03 && changedShare(still, idle) < 0.03 && scrolled(still, idle) == 0;
    }
    ASSERT_TRUE(inPlay) << "the game never came into play";
    EXPECT_EQ(scrolled(still, idle), 0) << "the world moved with no press";

    mouse(rx, ry, "mousedown 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    mouse(rx, ry, "mouseup 1");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Picture walked = windowPicture(x, window);
    if (const char* keep = std::getenv("VESSILO_KEEP_FRAMES")) {
        writePng(std::string(keep) + "/pad_idle.png", idle);
        writePng(std::string(keep) + "/pad_walked.png", walked);
    }
    // The camera follows the agent to the right: the world goes left.
    EXPECT_GE(scrolled(idle, walked), 8) << "the agent did not walk";
    EXPECT_EQ(::waitpid(game.pid, nullptr, WNOHANG), 0) << "the program ended early";
    XCloseDisplay(x);
    EXPECT_EQ(readFile(game.printed).find("Exception"), std::string::npos) << readFile(game.printed);
}

#endif

}  // namespace
