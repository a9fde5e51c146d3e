// The host bridge: the running state, the system's own window messages,
// displayable entry points and serial calls in this process; whole program
// runs (start, pause, resume, destroy, exit codes, a second instance, bad
// application properties, a requested URL, input) in child processes; and a
// real window under an X server when one is there.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "ce.h"
#include "hal.h"
#include "host_support.h"

namespace {

std::vector<int> g_types;
std::vector<int> g_droppedTypes;
int g_destroys = 0;
int g_collects = 0;

void record(int type, int, const intptr_t*, bool dropped) { (dropped ? g_droppedTypes : g_types).push_back(type); }

// In this process: a main window with the bridge's procedure, callbacks that
// only count, and every posted event recorded.
class HostBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = HAL_hostCallbacks();
        HAL_HostCallbacks fake;
        fake.destroyRuntime = [] { ++g_destroys; };
        fake.collect = [] { ++g_collects; };
        hostSetCallbacks(&fake);
        g_types.clear();
        g_droppedTypes.clear();
        g_destroys = g_collects = 0;
        hostResetState();
        HAL_setEventTraceSink(record);
        ASSERT_TRUE(HAL_createHostWindow(nullptr, u"HostBridgeTest", hostWindowProc));
    }
    void TearDown() override {
        HAL_setEventTraceSink(nullptr);
        HAL_releaseHostWindow();
        ce::MSG msg;
        while (ce::PeekMessageW(&msg, nullptr, 0, 0, ce::PM_REMOVE)) {}
        hostResetState();
        HAL_setHostCallbacks(&saved_);
        if (peer_) HAL_deleteCanvas(peer_);
    }
    void showCanvas() {
        ASSERT_EQ(HAL_createCanvas(&peer_, 77), 0);
        ASSERT_EQ(HAL_setCurrentDisplayable(peer_), 0);
        EXPECT_EQ(HAL_getCurrentWindowObject(), peer_);
        g_types.clear();
    }
    static void post(ce::UINT message, ce::WPARAM wParam) { ce::PostMessageW(HAL_getMainWindow(), message, wParam, 0); }
    // Hands every queued message to the window, as the message loop does.
    static bool pump() {
        ce::MSG msg;
        bool quit = false;
        while (ce::PeekMessageW(&msg, HAL_getMainWindow(), 0, 0, ce::PM_REMOVE)) {
            if (msg.message == ce::WM_QUIT)
                quit = true;
            else
                ce::DispatchMessageW(&msg);
        }
        return quit;
    }

    HAL_HostCallbacks saved_;
    HAL_WindowObject* peer_ = nullptr;
};

TEST_F(HostBridgeTest, ActivationAndPowerPauseAndResumeOnce) {
    showCanvas();
    constexpr ce::UINT A = ce::WM_ACTIVATE, P = HAL_WM_POWER;
    const struct {
        const char* what;
        std::vector<std::pair<ce::UINT, ce::WPARAM>> messages;
        std::vector<int> events;
        bool running;
    } cases[] = {
        {"deactivate, activate", {{A, 0}, {A, 1}}, {1, 2}, true},
        {"deactivate twice", {{A, 0}, {A, 0}, {A, 1}}, {1, 2}, true},
        {"power off while deactivated", {{A, 0}, {P, 0}, {P, 1}, {A, 1}}, {1, 2}, true},
        {"deactivated while off", {{P, 0}, {A, 0}, {A, 1}, {P, 1}}, {1, 2}, true},
        {"click activation", {{A, 0}, {A, 2}}, {1, 2}, true},
        {"activation with a high word", {{A, 0}, {A, 0x10001}}, {1}, false},
        {"power off, other power states", {{P, 0}, {P, 2}, {P, 1}}, {1, 2}, true},
    };
    for (const auto& c : cases) {
        hostResetState();
        g_types.clear();
        for (auto [message, wParam] : c.messages) post(message, wParam);
        pump();
        EXPECT_EQ(g_types, c.events) << c.what;
        EXPECT_EQ(hostState().running, c.running) << c.what;
    }
}

TEST_F(HostBridgeTest, WithNothingShownTheWindowsMessagesChangeNothingButClosingEndsTheLoop) {
    post(ce::WM_ACTIVATE, 0);
    post(HAL_WM_EXIT, 0);
    post(HAL_WM_POWER, 0);
    EXPECT_FALSE(pump());
    EXPECT_TRUE(g_types.empty());
    EXPECT_TRUE(hostState().running);
    EXPECT_FALSE(hostState().shutdownBegun);
    post(ce::WM_CLOSE, 0);
    EXPECT_TRUE(pump());  // the window went, and with it the loop
    EXPECT_EQ(HAL_getMainWindow(), nullptr);
    EXPECT_EQ(g_destroys, 0);
}

TEST_F(HostBridgeTest, TheExitMessageDestroysTheRuntimeAndLaterEventsAreDropped) {
    showCanvas();
    ASSERT_EQ(HAL_requestExit(), 0);
    EXPECT_TRUE(pump());
    EXPECT_EQ(g_types, std::vector<int>{3});
    EXPECT_EQ(g_destroys, 1);
    EXPECT_TRUE(hostState().shutdownBegun);
    EXPECT_EQ(HAL_getMainWindow(), nullptr);
    const intptr_t key[1] = {-1};
    hostPostEvent(8, 1, key, 1);
    hostSetActive(0);
    hostDestroyVM();  // once only
    EXPECT_EQ(g_types, std::vector<int>{3});
    EXPECT_EQ(g_droppedTypes, (std::vector<int>{8, 1}));
    EXPECT_EQ(g_destroys, 1);
}

TEST_F(HostBridgeTest, TheSystemsOtherMessages) {
    showCanvas();
    int32_t before = -1;
    HAL_getOrientation(&before);
    post(HAL_WM_COLLECT, 0);
    post(HAL_WM_PHONE_STATUS, 0);
    post(HAL_WM_SMS_COUNT, 0);
    post(HAL_WM_ORIENTATION, 2);
    EXPECT_FALSE(pump());
    EXPECT_EQ(g_collects, 1);
    int32_t orientation = -1;
    HAL_getOrientation(&orientation);
    EXPECT_EQ(orientation, 2);
    HAL_setOrientation(before);
    EXPECT_TRUE(g_types.empty());
}

TEST_F(HostBridgeTest, DisplayableEntryPoints) {
    EXPECT_EQ(HAL_createCanvas(nullptr, 1), 2);
    EXPECT_EQ(HAL_setCurrentDisplayable(nullptr), 2);
    showCanvas();
    int32_t width = 0, height = 0;
    EXPECT_EQ(HAL_getDisplayableSize(peer_, &width, &height), 0);
    EXPECT_EQ(width, 480);
    EXPECT_EQ(height, 640);
    EXPECT_EQ(HAL_getDisplayableSize(peer_, nullptr, nullptr), 0);
    EXPECT_EQ(HAL_getDisplayableSize(nullptr, &width, &height), 2);
    HAL_setFullScreenMode(peer_, 5);
    EXPECT_TRUE(peer_->fullScreen());
    HAL_setFullScreenMode(nullptr, 1);
    HAL_setTitle(peer_, nullptr, 3);
    HAL_setTicker(nullptr, u"x", 1);
    int32_t isColor = 0, colors = 0, alpha = 0, doubleBuffered = 0;
    HAL_getDisplayCapabilities(&isColor, &colors, &alpha, &doubleBuffered);
    EXPECT_EQ(isColor, 1);
    EXPECT_EQ(colors, 65536);
    EXPECT_EQ(alpha, 32);
    EXPECT_EQ(doubleBuffered, 1);
    HAL_getDisplayCapabilities(nullptr, nullptr, nullptr, nullptr);
    // A deleted peer does not stay behind in the window.
    EXPECT_EQ(HAL_deleteCanvas(peer_), 0);
    peer_ = nullptr;
    EXPECT_EQ(HAL_getCurrentWindowObject(), nullptr);
    EXPECT_EQ(HAL_deleteCanvas(nullptr), 0);
}

TEST_F(HostBridgeTest, SerialCallsRunInOrderWhenTheLoopRunsThem) {
    static std::vector<int> ran;
    ran.clear();
    EXPECT_EQ(HAL_callSerially(nullptr, nullptr), 2);
    auto runner = [](void* argument) {
        int value = static_cast<int>(reinterpret_cast<intptr_t>(argument));
        ran.push_back(value);
        // Queued while running: runs in the next pass.
        if (value == 1) HAL_callSerially([](void*) { ran.push_back(3); }, nullptr);
    };
    EXPECT_EQ(HAL_callSerially(runner, reinterpret_cast<void*>(1)), 0);
    EXPECT_EQ(HAL_callSerially(runner, reinterpret_cast<void*>(2)), 0);
    EXPECT_TRUE(ran.empty());
    // The loop was woken for them.
    ce::HANDLE wake = HAL_messageLoopWakeEvent();
    EXPECT_EQ(ce::MsgWaitForMultipleObjects(1, &wake, ce::FALSE, 0, ce::QS_ALLINPUT), ce::WAIT_OBJECT_0);
    EXPECT_TRUE(HAL_runSerialCalls());
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_TRUE(HAL_runSerialCalls());
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(HAL_runSerialCalls());
    HAL_callSerially(runner, reinterpret_cast<void*>(9));
    HAL_dropSerialCalls();
    EXPECT_FALSE(HAL_runSerialCalls());
}

TEST(HostBridgeCallbacks, EmptySlotsGetDefaults) {
    HAL_HostCallbacks saved = HAL_hostCallbacks();
    HAL_HostCallbacks partial;
    partial.collect = [] { ++g_collects; };
    hostSetCallbacks(&partial);
    const HAL_HostCallbacks& now = HAL_hostCallbacks();
    ASSERT_NE(now.initRuntime, nullptr);
    EXPECT_EQ(now.initRuntime(1, 2, nullptr, "x", 0), 0);
    EXPECT_EQ(now.dispatchEvent(1, 0, nullptr), 0);
    now.yield();
    now.enter();
    now.destroyRuntime();
    g_collects = 0;
    now.collect();
    EXPECT_EQ(g_collects, 1);
    HAL_setHostCallbacks(&saved);
}

// --- whole program runs --------------------------------------------------------------

struct RunResult {
    int exitCode = -1;
    std::string log, trace, err, folder;
};

// A program folder with the given "app.prop" lines; a runtime folder of its
// own unless one is given.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string& appProp) {
        std::string pattern = ::testing::TempDir() + "vessilo_program_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
        path = pattern + "/";
        std::filesystem::create_directories(path + "properties");
        std::ofstream(path + "properties/app.prop") << appProp;
    }
    ~ProgramFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    RunResult result(int exitCode) const {
        return RunResult{exitCode, readFile(path + "midlet.log"), readFile(path + "trace.txt"),
                         readFile(path + "stderr.txt"), path};
    }
    std::string path;
};

RunResult runProgram(const std::string& appProp, std::vector<std::string> environment = {},
                     const TestRuntimeFolder* runtime = nullptr) {
    TestRuntimeFolder own;
    environment.push_back("XDG_RUNTIME_DIR=" + (runtime ? runtime : &own)->path());
    ProgramFolder folder(appProp);
    return folder.result(runHostChild(folder.path, environment));
}

std::string app(const std::string& script, const std::string& extra = "") {
    return "MIDlet-Name: Host Run\nMIDlet-1: Test, /icon.png, vessilo.test.ScriptMIDlet\nTest-Script: " + script +
           "\n" + extra;
}

std::string eventTypes(const std::string& trace) {
    std::istringstream lines(trace);
    std::string line, types;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word, type;
        words >> word >> type;
        types += (types.empty() ? "" : " ") + type;
    }
    return types;
}

constexpr const char* kGap = "sleep 100";

TEST(HostRun, PausesResumesAndEndsThroughTheLifeCycle) {
    RunResult run =
        runProgram(app(std::string("focus-lost; ") + kGap + "; focus-gained; " + kGap + "; focus-lost; " + kGap +
                       "; power-off; " + kGap + "; power-on; " + kGap + "; focus-gained; " + kGap + "; close"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.log,
              "startApp\nshowNotify\n"
              "hideNotify\npauseApp\nstartApp\nshowNotify\n"
              "hideNotify\npauseApp\nstartApp\nshowNotify\n"
              "destroyApp true\n");
    EXPECT_EQ(eventTypes(run.trace), "5 1 2 1 2 3");
}

TEST(HostRun, ClosedWhilePausedExitsWith1) {
    RunResult run = runProgram(app(std::string("focus-lost; ") + kGap + "; close"));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.log, "startApp\nshowNotify\nhideNotify\npauseApp\ndestroyApp true\n");
}

TEST(HostRun, TheApplicationsExitEndsWithoutDestroyApp) {
    RunResult run = runProgram(app("exit"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.log, "startApp\nshowNotify\n");
    EXPECT_EQ(eventTypes(run.trace), "5 3");
}

TEST(HostRun, ARefusedDestroyStillEnds) {
    RunResult run = runProgram(app("close", "Test-Refuse-Destroy: true\n"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.log, "startApp\nshowNotify\ndestroyApp true\n");
}

TEST(HostRun, ClosedBeforeAnythingIsShownStillEnds) {
    RunResult run = runProgram(app("close", "Test-NoShow: true\n"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.log, "startApp\ndestroyApp true\n");
}

TEST(HostRun, ARequestedURLOpensOnlyAfterTheRuntimeIsDestroyed) {
    TestRuntimeFolder runtime;
    const std::string opener = runtime.path() + "opener.sh";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\necho \"opened $*\" >> \"$OPENED_LOG\"\n";
    }
    ::chmod(opener.c_str(), 0755);
    ProgramFolder folder(app("url http://example.org/page?x=1; close"));
    int exitCode = runHostChild(folder.path, {"XDG_RUNTIME_DIR=" + runtime.path(), "VESSILO_URL_OPENER=" + opener,
                                              "OPENED_LOG=" + folder.path + "midlet.log"});
    RunResult run = folder.result(exitCode);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.log, "startApp\nshowNotify\ndestroyApp true\nopened http://example.org/page?x=1\n");

    ProgramFolder empty(app("url ; close"));
    exitCode = runHostChild(empty.path, {"XDG_RUNTIME_DIR=" + runtime.path(), "VESSILO_URL_OPENER=" + opener,
                                         "OPENED_LOG=" + empty.path + "midlet.log"});
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(readFile(empty.path + "midlet.log"), "startApp\nshowNotify\ndestroyApp true\n");
}

// A repeat within 100 ms of the key's last event is dropped: the first
// repeat here, never the one 400 ms later (time enough for a slow window
// thread to have taken the key's press late).
TEST(HostRun, KeysAndTapsReachTheCanvasUnderTheEventLock) {
    RunResult run = runProgram(
        app("key up down; key up up; key space down; key space up; key return down; key f1 down; key f2 down; "
            "key 7 down; key shift-8 down; key shift-8 up; key hash down; key asterisk down; key a down; "
            "key left down; key left repeat; sleep 400; key left repeat; key left up; held-key down; "
            "press 10 20; drag 12 22; drag 13 23; drag 200 300; release 200 300; serial; sleep 100; exit"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.log,
              "startApp\nshowNotify\n"
              "keyPressed -1 Up 1 locked\nkeyReleased -1 Up 1 locked\n"
              "keyPressed -5 Select 8 locked\nkeyReleased -5 Select 8 locked\n"
              "keyPressed -5 Select 8 locked\n"
              "keyPressed -6 Soft1 0 locked\nkeyPressed -7 Soft2 0 locked\n"
              "keyPressed 55 7 0 locked\n"
              "keyPressed 42 * 0 locked\nkeyReleased 42 * 0 locked\n"
              "keyPressed 35 # 0 locked\nkeyPressed 42 * 0 locked\n"
              "keyPressed -3 Left 2 locked\nkeyRepeated -3 Left 2 locked\nkeyReleased -3 Left 2 locked\n"
              "keyPressed -2 Down 6 locked\n"
              "pointerPressed 10 20 locked\npointerDragged 12 22 locked\npointerDragged 200 300 locked\n"
              "pointerReleased 200 300 locked\n"
              "serial main=1 locked=1\n");
}

TEST(HostRun, AMissingNameGivesTheFixedWindowAndInstanceName) {
    TestRuntimeFolder runtime;
    RunResult run = runProgram("MIDlet-1: x, y, vessilo.test.ScriptMIDlet\nTest-Script: exit\n", {}, &runtime);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    struct stat info;
    EXPECT_EQ(::stat((runtime.path() + "vessilo-mutex-Local%5C_TS_set_your_MIDlet-Name").c_str(), &info), 0);
}

TEST(HostRun, ASecondStartBringsTheFirstForwardAndExitsWith1) {
    TestRuntimeFolder runtime;
    ProgramFolder first(app("wait-foreground; exit"));
    HostChild running;
    ASSERT_TRUE(running.start(first.path, {"XDG_RUNTIME_DIR=" + runtime.path()}));
    // Wait until the first one runs its application.
    for (int i = 0; i < 3000 && readFile(first.path + "midlet.log").find("showNotify") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ProgramFolder second(app("exit"));
    EXPECT_EQ(runHostChild(second.path, {"XDG_RUNTIME_DIR=" + runtime.path()}), 1);
    EXPECT_EQ(readFile(second.path + "midlet.log"), "");
    EXPECT_EQ(running.wait(), 0);
    EXPECT_EQ(readFile(first.path + "midlet.log"), "startApp\nshowNotify\nforeground\n");
}

TEST(HostRun, WithoutAUsableApplicationTheProgramSaysWhyAndExitsWith1) {
    const struct {
        const char* appProp;
        const char* says;
    } cases[] = {
        {"MIDlet-Name: Nothing\n", "\"MIDlet-1\" is missing"},
        {"MIDlet-1: a, b, vessilo.test.NotAMIDlet\n", "java.lang.InstantiationException: Class not a MIDlet"},
        {"MIDlet-1: a, b, no.such.Application\n", "(\"a, b, no.such.Application\")"},
        {"MIDlet-1: \n", "java.lang.ClassNotFoundException"},
    };
    for (const auto& c : cases) {
        RunResult run = runProgram(c.appProp);
        EXPECT_EQ(run.exitCode, 1) << c.appProp;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(run.folder + "properties/app.prop"), std::string::npos) << run.err;
    }
}

#ifdef VESSILO_PROGRAM
TEST(HostRun, TheBuildInstallsTheGamesApplicationProperties) {
    const std::string program = VESSILO_PROGRAM;
    const std::string folder = program.substr(0, program.rfind('/') + 1);
    struct stat info;
    EXPECT_EQ(::stat((folder + "properties/sys.prop").c_str(), &info), 0) << "the build installs sys.prop";
    const std::string app = readFile(folder + "properties/app.prop");
    EXPECT_NE(app.find("MIDlet-Name: Vessilo: The Quiet Agent\n"), std::string::npos) << app;
    EXPECT_NE(app.find("MIDlet-1: The Quiet Agent, /icon.png, ZedIRIvoz\n"), std::string::npos) << app;
}

// The same program in a folder of its own that holds no application
// properties: it refuses to start.
TEST(HostRun, TheProgramItselfRefusesToStartWithoutAnApplication) {
    const std::string program = VESSILO_PROGRAM;
    const std::string folder = program.substr(0, program.rfind('/') + 1);
    ProgramFolder bare("");
    std::filesystem::remove(bare.path + "properties/app.prop");
    std::filesystem::copy_file(program, bare.path + "vessilo");
    std::filesystem::copy_file(folder + "properties/sys.prop", bare.path + "properties/sys.prop");
    TestRuntimeFolder runtime;
    const std::string err = runtime.path() + "err.txt";
    const std::string command = "XDG_RUNTIME_DIR='" + runtime.path() + "' SDL_VIDEODRIVER=dummy '" + bare.path +
                                "vessilo' >/dev/null 2>'" + err + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(readFile(err).find("\"MIDlet-1\" is missing from " + bare.path + "properties/app.prop"),
              std::string::npos)
        << readFile(err);
}
#endif

// --- a real window -----------------------------------------------------------------

bool haveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string commandOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        ::pclose(pipe);
    }
    return text;
}

TEST(HostRunOnX, ATapAndAKeyThroughTheXServerReachTheCanvas) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X server (DISPLAY is not set): run under xvfb-run";
    if (!haveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    XDisplayLock alone;
    TestRuntimeFolder runtime;
    ProgramFolder folder(
        "MIDlet-Name: Vessilo Smoke\nMIDlet-1: Test, /icon.png, vessilo.test.ScriptMIDlet\n"
        "Test-Script: wait-file done; sleep 100; exit\n");
    HostChild child;
    // The system's display libraries keep allocations for the life of the
    // process: the leak checker is off for this program run on X.
    ASSERT_TRUE(child.start(
        folder.path, {"XDG_RUNTIME_DIR=" + runtime.path(), "SDL_VIDEODRIVER=x11", "ASAN_OPTIONS=detect_leaks=0"}));
    std::string window = commandOutput("timeout 20 xdotool search --sync --name '^Vessilo Smoke$' | head -n 1");
    while (!window.empty() && (window.back() == '\n' || window.back() == ' ')) window.pop_back();
    ASSERT_FALSE(window.empty()) << "the window did not appear";
    // The window shows before the application's canvas does: taps before
    // that reach no canvas.
    for (int i = 0; i < 2000 && readFile(folder.path + "midlet.log").find("showNotify") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_NE(readFile(folder.path + "midlet.log").find("showNotify"), std::string::npos) << "the canvas was not shown";
    // Where the screen's point (120, 200) lies in the desktop window.
    std::string geometry = commandOutput("xdotool getwindowgeometry " + window);
    int width = 480, height = 640;
    size_t at = geometry.find("Geometry: ");
    if (at != std::string::npos) std::sscanf(geometry.c_str() + at, "Geometry: %dx%d", &width, &height);
    const int x = 120 * width / 480, y = 200 * height / 640;
    std::system(("xdotool windowfocus --sync " + window + " >/dev/null 2>&1").c_str());
    std::system(("xdotool mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
                 " click 1 && xdotool key Up && sleep 0.3")
                    .c_str());
    std::ofstream(folder.path + "done") << "";
    EXPECT_EQ(child.wait(), 0) << readFile(folder.path + "stderr.txt");
    const std::string log = readFile(folder.path + "midlet.log");
    EXPECT_NE(log.find("pointerPressed 120 200 locked\npointerReleased 120 200 locked\n"), std::string::npos) << log;
    EXPECT_NE(log.find("keyPressed -1 Up 1 locked\nkeyReleased -1 Up 1 locked\n"), std::string::npos) << log;
}

}  // namespace
