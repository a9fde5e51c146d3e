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

// The game's own program started on the X server of DISPLAY, with a
// runtime folder and a database of its own; killed at the end unless it has
// ended.
struct GameProcess {
    TestRuntimeFolder runtime;
    pid_t pid = 0;
    std::string printed;  // what the program printed
    Window window = 0;

    // Starts it and waits for its window; false (with a failure) when
    // either did not happen.
    bool start() {
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
        printed = runtime.path() + "printed.txt";
        posix_spawn_file_actions_t output;
        posix_spawn_file_actions_init(&output);
        posix_spawn_file_actions_addopen(&output, 1, printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&output, 1, 2);
        const int spawned = posix_spawn(&pid, program.c_str(), &output, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&output);
        if (spawned != 0) {
            ADD_FAILURE() << "the program did not start";
            pid = 0;
            return false;
        }
        FILE* pipe = ::popen("timeout 20 xdotool search --sync --name '^Vessilo: The Quiet Agent$' | head -n 1", "r");
        unsigned long id = 0;
        if (pipe != nullptr) {
            if (std::fscanf(pipe, "%lu", &id) != 1) id = 0;
            ::pclose(pipe);
        }
        window = Window(id);
        if (window == 0) ADD_FAILURE() << "the window did not appear";
        return window != 0;
    }
    ~GameProcess() {
        if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

TEST(GameOnX, TheLogoThenClicksAndKeysIntoTheTutorialAndACloseRequestEndsWith0) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X server (DISPLAY is not set): run under xvfb-run";
    if (!haveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    XDisplayLock alone;
    GameProcess game;
    ASSERT_TRUE(game.start());
    const pid_t pid = game.pid;
    const Window window = game.window;
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
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
    game.pid = 0;
    XCloseDisplay(x);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(game.printed).find("Exception"), std::string::npos) << readFile(game.printed);
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
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X server (DISPLAY is not set): run under xvfb-run";
    if (!haveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    const auto [rx, ry] = padBox(4);
    ASSERT_GE(rx, 0) << "no right arrow in the pad's art";
    XDisplayLock alone;
    GameProcess game;
    ASSERT_TRUE(game.start());
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x, game.window, &a));
    auto mouse = [&](int sx, int sy, const std::string& what) {
        const std::string command = "xdotool mousemove --window " + std::to_string(game.window) + " " +
                                    std::to_string(sx * a.width / 480) + " " + std::to_string(sy * a.height / 640) +
                                    " " + what;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    };
    auto seen = [&](const char* golden, double share) {
        return waitFor([&] { return likeness(windowPicture(x, game.window), golden) >= share; }, 15000);
    };
    ASSERT_TRUE(seen("e2e_sound_question", 0.95)) << "the sound question";
    mouse(240, 272, "click 1");  // "on"
    ASSERT_TRUE(seen("e2e_main_menu", 0.95)) << "the main menu";
    mouse(240, 472, "click 1");  // the tutorial
    ASSERT_TRUE(waitFor([&] { return likeness(windowPicture(x, game.window), "e2e_main_menu") < 0.5; }, 15000));
    // Its story's pages turned by taps in the middle of the screen, then
    // the agent in play.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    for (int page = 0; page < 8; ++page) {
        mouse(240, 320, "click 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));

    const Picture still = windowPicture(x, game.window);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const Picture idle = windowPicture(x, game.window);
    EXPECT_EQ(scrolled(still, idle), 0) << "the world moved with no press";

    mouse(rx, ry, "mousedown 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    mouse(rx, ry, "mouseup 1");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Picture walked = windowPicture(x, game.window);
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
