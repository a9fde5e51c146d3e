// The whole program on a real X server: what a MIDlet draws and flushes
// from its canvas thread is what the window shows, read back from the X
// server. The test starts an X server of its own (Xvfb), so that no other
// window takes the focus meanwhile; skipped when Xvfb or xdotool is missing.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "golden.h"
#include "host_support.h"

// Last: Xlib's macros (None, Bool, Status ...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// An Xvfb of its own for the life of the object.
class OwnXServer {
public:
    OwnXServer() {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 3);
        std::string program = "Xvfb", fd = "-displayfd", three = "3", screen = "-screen", zero = "0",
                    size = "1024x768x24", nolisten = "-nolisten", tcp = "tcp";
        char* argv[] = {program.data(), fd.data(),       three.data(), screen.data(), zero.data(),
                        size.data(),    nolisten.data(), tcp.data(),   nullptr};
        pid_t child = 0;
        if (::posix_spawnp(&child, "Xvfb", &actions, nullptr, argv, environ) == 0) pid_ = child;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        // Xvfb writes its display number once it accepts clients.
        std::string number;
        pollfd wait{pipeFds[0], POLLIN, 0};
        char c;
        while (pid_ > 0 && ::poll(&wait, 1, 10000) > 0 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(pipeFds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~OwnXServer() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;
    // ":N", or "" when the server did not start.
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

std::string commandOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        ::pclose(pipe);
    }
    return text;
}

// The window's client area as the X server holds it; empty on failure.
Picture captureWindow(const std::string& name, unsigned long window) {
    Picture p;
    Display* display = XOpenDisplay(name.c_str());
    if (display == nullptr) return p;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes)) {
        XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                                  AllPlanes, ZPixmap);
        if (image != nullptr) {
            p.width = attributes.width;
            p.height = attributes.height;
            for (int y = 0; y < p.height; ++y) {
                for (int x = 0; x < p.width; ++x) {
                    unsigned long pixel = XGetPixel(image, x, y);
                    auto channel = [&](unsigned long mask) {
                        int shift = 0;
                        while (mask && !(mask & 1)) {
                            mask >>= 1;
                            ++shift;
                        }
                        return uint32_t(((pixel >> shift) & mask) * 255 / (mask ? mask : 1));
                    };
                    p.argb.push_back(0xFF000000u | channel(image->red_mask) << 16 | channel(image->green_mask) << 8 |
                                     channel(image->blue_mask));
                }
            }
            XDestroyImage(image);
        }
    }
    XCloseDisplay(display);
    return p;
}

}  // namespace

TEST(HostRunOnX, TheWindowShowsTheFrameTheCanvasThreadFlushed) {
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "Xvfb is not installed";
    OwnXServer server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    const std::string display = server.display();
    TestRuntimeFolder runtime;
    std::string folder = ::testing::TempDir() + "vessilo_frame_XXXXXX";
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    folder += "/";
    std::filesystem::create_directories(folder + "properties");
    std::ofstream(folder + "properties/app.prop")
        << "MIDlet-Name: Vessilo Frame\nMIDlet-1: Test, /icon.png, vessilo.test.DrawMIDlet\n";
    HostChild child;
    // On a real X server the system's display libraries keep allocations for
    // the life of the process (some in libraries unloaded at exit, which no
    // suppression can name): the leak checker is off for this program run.
    ASSERT_TRUE(child.start(folder, {"XDG_RUNTIME_DIR=" + runtime.path(), "SDL_VIDEODRIVER=x11", "DISPLAY=" + display,
                                     "ASAN_OPTIONS=detect_leaks=0"}));
    std::string window =
        commandOutput("DISPLAY=" + display + " timeout 20 xdotool search --sync --name '^Vessilo Frame$' | head -n 1");
    ASSERT_FALSE(window.empty()) << "the window did not appear";
    // The canvas thread has flushed; give the main thread time to present.
    for (int k = 0; k < 400 && readFile(folder + "midlet.log").find("flushed") == std::string::npos; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Picture shown = captureWindow(display, std::stoul(window));
    std::ofstream(folder + "done") << "";
    EXPECT_EQ(child.wait(), 0) << readFile(folder + "stderr.txt");
    ASSERT_EQ(shown.width, 480) << "the window is scaled: run on a screen at least 640 pixels high";
    ASSERT_EQ(shown.height, 640);
    // The desktop widens RGB565 in its own way: a channel may differ in its
    // low bits, no more.
    EXPECT_TRUE(matchesGolden("j2me", "gamecanvas_frame", shown, GoldenTolerance{8, 0}));
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
