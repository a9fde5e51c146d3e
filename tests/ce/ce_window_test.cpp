// The window stand-in: the message queue, windows, timers, input from the
// desktop, and presented frames.
#include <SDL.h>
#include <gtest/gtest.h>
#include <png.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ce.h"
#include "host_support.h"

namespace {

using namespace ce;

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

LRESULT recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back({message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

// One window of a registered class for each test, in a runtime folder of its
// own.
class CeWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = recordingProc;
        windowClass.lpszClassName = u"CeWindowTest";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
        window = CreateWindowW(u"CeWindowTest", u"Test Window", 0, 0, 0, 480, 640, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        UnregisterClassW(u"CeWindowTest", nullptr);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }
    // Takes every message the desktop's input has become, in order.
    std::vector<MSG> drain() {
        std::vector<MSG> all;
        MSG msg;
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) all.push_back(msg);
        return all;
    }

    TestRuntimeFolder folder;
    HWND window = nullptr;
};

TEST_F(CeWindowTest, PeekFiltersByWindowAndRangeAndQuitComesLast) {
    PostMessageW(window, 0x500, 1, 0);
    PostMessageW(nullptr, 0x501, 2, 0);  // a thread message
    PostMessageW(window, WM_CHAR, u'7', 0);
    PostQuitMessage(3);
    MSG msg;
    // A range takes the one message in it, wherever it is queued.
    ASSERT_TRUE(PeekMessageW(&msg, window, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(u'7'));
    // PM_NOREMOVE leaves it queued.
    ASSERT_TRUE(PeekMessageW(&msg, window, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, 0x500u);
    ASSERT_TRUE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, 0x500u);
    // The window filter skips the thread message, but not the quit message.
    ASSERT_TRUE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, 0x501u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(CeWindowTest, QuitWaitsForThePostedMessagesBeforeIt) {
    PostQuitMessage(0);
    PostMessageW(window, 0x600, 0, 0);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, window, 0, 0), 1);
    EXPECT_EQ(msg.message, 0x600u);
    EXPECT_EQ(GetMessageW(&msg, window, 0, 0), 0);
}

TEST_F(CeWindowTest, PostFromAnotherThreadWakesGetMessage) {
    std::thread poster([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessageW(window, 0x700, 42, -1);
    });
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, window, 0x700, 0x700), 1);
    EXPECT_EQ(msg.wParam, 42u);
    EXPECT_EQ(msg.lParam, -1);
    poster.join();
}

TEST_F(CeWindowTest, DestroyingSendsDestroyDropsQueuedMessagesAndRefusesTheHandle) {
    SetWindowLongW(window, GWL_USERDATA, 1234);
    EXPECT_EQ(GetWindowLongW(window, GWL_USERDATA), 1234);
    EXPECT_EQ(SetWindowLongW(window, GWL_USERDATA, 99), 1234);
    PostMessageW(window, 0x500, 0, 0);
    SetTimer(window, 7, 1, nullptr);
    // The default procedure destroys the window on WM_CLOSE.
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen.back().message, WM_DESTROY);
    EXPECT_FALSE(IsWindow(window));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageW(window, 0x500, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetMessageW(&msg, window, 0, 0), -1);
    EXPECT_EQ(TimerPeriod(window, 7), 0u);
    EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(CeWindowTest, OneWindowAtATimeAndClassesAreRegisteredOnce) {
    WNDCLASSW again;
    again.lpfnWndProc = recordingProc;
    again.lpszClassName = u"CeWindowTest";
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(CreateWindowW(u"CeWindowTest", u"Second", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowW(u"NoSuchClass", u"x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    char16_t text[32];
    EXPECT_EQ(GetWindowTextW(window, text, 32), 11);
    EXPECT_EQ(std::u16string(text), u"Test Window");
    EXPECT_EQ(GetWindowTextW(window, text, 5), 4);
}

TEST_F(CeWindowTest, TimersComeAsTimerMessagesAndCallTheirRoutine) {
    static int calls = 0;
    calls = 0;
    TIMERPROC routine = [](HWND, UINT, uintptr_t id, DWORD) {
        if (id == 3) ++calls;
    };
    SetTimer(window, 3, 20, routine);
    EXPECT_EQ(TimerPeriod(window, 3), 20u);
    auto start = std::chrono::steady_clock::now();
    MSG msg;
    ASSERT_EQ(GetMessageW(&msg, window, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15));
    DispatchMessageW(&msg);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(KillTimer(window, 3));
    EXPECT_FALSE(KillTimer(window, 3));
    EXPECT_FALSE(PeekMessageW(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(SetTimer(nullptr, 1, 10, nullptr), 0u);
}

TEST_F(CeWindowTest, WaitsEndOnAnEventAMessageOrTheTimeOut) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 30, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
    std::thread setter([event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(event);
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    setter.join();
    // An auto-reset event is spent by the wait that saw it.
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    PostMessageW(window, 0x500, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
    CloseHandle(event);
}

TEST_F(CeWindowTest, KeysBecomeThePhonesVirtualKeys) {
    const struct {
        int sdlKey;
        bool shift;
        UINT virtualKey;  // 0: no message
    } cases[] = {
        {SDLK_UP, false, VK_UP},
        {SDLK_DOWN, false, VK_DOWN},
        {SDLK_LEFT, false, VK_LEFT},
        {SDLK_RIGHT, false, VK_RIGHT},
        {SDLK_RETURN, false, VK_RETURN},
        {SDLK_SPACE, false, VK_RETURN},
        {SDLK_KP_ENTER, false, VK_RETURN},
        {SDLK_F1, false, VK_F1},
        {SDLK_F2, false, VK_F2},
        {SDLK_0, false, '0'},
        {SDLK_9, false, '9'},
        {SDLK_KP_5, false, '5'},
        {SDLK_ASTERISK, false, VK_TSTAR},
        {SDLK_KP_MULTIPLY, false, VK_TSTAR},
        {SDLK_HASH, false, VK_TPOUND},
        {SDLK_8, true, VK_TSTAR},
        {SDLK_3, true, VK_TPOUND},
        {SDLK_a, false, 0},
        {SDLK_ESCAPE, false, 0},
    };
    for (const auto& c : cases) {
        test::InjectKey(c.sdlKey, true, false, c.shift);
        test::InjectKey(c.sdlKey, true, true, c.shift);
        test::InjectKey(c.sdlKey, false, false, false);  // the modifier may be let go first
        std::vector<MSG> messages = drain();
        if (c.virtualKey == 0) {
            EXPECT_TRUE(messages.empty()) << c.sdlKey;
            continue;
        }
        ASSERT_EQ(messages.size(), 3u) << c.sdlKey;
        EXPECT_EQ(messages[0].message, WM_KEYDOWN);
        EXPECT_EQ(messages[0].wParam, c.virtualKey) << c.sdlKey;
        EXPECT_EQ(messages[0].lParam & (1 << 30), 0);
        EXPECT_EQ(messages[1].message, WM_KEYDOWN);
        EXPECT_NE(messages[1].lParam & (1 << 30), 0);  // a repeat
        EXPECT_EQ(messages[2].message, WM_KEYUP);
        EXPECT_EQ(messages[2].wParam, c.virtualKey) << c.sdlKey;
    }
    // Character keys also give WM_CHAR once translated.
    MSG key;
    key.hwnd = window;
    key.message = WM_KEYDOWN;
    for (auto [virtualKey, character] : {std::pair<UINT, char16_t>{'4', u'4'}, {VK_TSTAR, u'*'}, {VK_TPOUND, u'#'}}) {
        key.wParam = virtualKey;
        EXPECT_TRUE(TranslateMessage(&key));
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, window, WM_CHAR, WM_CHAR, PM_REMOVE));
        EXPECT_EQ(msg.wParam, WPARAM(character));
    }
    key.wParam = VK_UP;
    EXPECT_FALSE(TranslateMessage(&key));
}

TEST_F(CeWindowTest, TheLeftButtonIsTheStylusAndTheWindowReportsFocusAndClosing) {
    int width = 0, height = 0;
    test::WindowSize(&width, &height);
    ASSERT_EQ(width, 480);  // the dummy desktop fits the screen at factor 1
    ASSERT_EQ(height, 640);
    test::InjectMouseMotion(5, 5, false);  // no hover
    test::InjectMouseButton(true, 10, 20);
    test::InjectMouseMotion(30, 40, true);
    test::InjectMouseMotion(-3, 700, true);  // dragged out of the window
    test::InjectMouseButton(false, 31, 41);
    test::InjectFocus(false);
    test::InjectFocus(true);
    test::InjectClose();
    std::vector<MSG> messages = drain();
    const struct {
        UINT message;
        WPARAM wParam;
        int x, y;
    } expected[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON, 10, 20},
        {WM_MOUSEMOVE, MK_LBUTTON, 30, 40},
        {WM_MOUSEMOVE, MK_LBUTTON, -3, 700},
        {WM_LBUTTONUP, 0, 31, 41},
        {WM_ACTIVATE, WA_INACTIVE, 0, 0},
        {WM_ACTIVATE, WA_ACTIVE, 0, 0},
        {WM_CLOSE, 0, 0, 0},
    };
    ASSERT_EQ(messages.size(), std::size(expected));
    for (size_t i = 0; i < messages.size(); ++i) {
        EXPECT_EQ(messages[i].message, expected[i].message) << i;
        EXPECT_EQ(messages[i].wParam, expected[i].wParam) << i;
        EXPECT_EQ(static_cast<int16_t>(messages[i].lParam & 0xFFFF), expected[i].x) << i;
        EXPECT_EQ(static_cast<int16_t>((messages[i].lParam >> 16) & 0xFFFF), expected[i].y) << i;
    }
}

TEST_F(CeWindowTest, AHeldBackKeyIsGivenByTheInputMethod) {
    EXPECT_EQ(ImmGetVirtualKey(window), 0u);
    test::InjectHeldBackKey(VK_DOWN);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, VK_PROCESSKEY);
    EXPECT_EQ(ImmGetVirtualKey(window), VK_DOWN);
}

TEST_F(CeWindowTest, ThisProcesssWindowIsFoundAndBroughtForward) {
    EXPECT_EQ(FindWindowW(u"CeWindowTest", nullptr), window);
    EXPECT_EQ(FindWindowW(u"CeWindowTest", u"Test Window"), window);
    EXPECT_EQ(FindWindowW(u"CeWindowTest", u"Other"), nullptr);
    EXPECT_EQ(FindWindowW(u"Unknown", nullptr), nullptr);
    uint64_t before = test::ForegroundRequests();
    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(window) | 1)));
    EXPECT_EQ(test::ForegroundRequests(), before + 1);
    EXPECT_TRUE(IsWindowEnabled(window));
}

// RGB565 widened by bit replication, as the saved PNG holds it.
std::vector<uint8_t> readPng(const std::string& path, int* width, int* height) {
    std::vector<uint8_t> pixels;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return pixels;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_read_info(png, info);
        *width = static_cast<int>(png_get_image_width(png, info));
        *height = static_cast<int>(png_get_image_height(png, info));
        EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_RGB);
        pixels.resize(static_cast<size_t>(*width) * *height * 3);
        for (int y = 0; y < *height; ++y)
            png_read_row(png, pixels.data() + static_cast<size_t>(y) * *width * 3, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return pixels;
}

TEST_F(CeWindowTest, PresentedFramesAreClippedKeptAndSavedWithWhiteStayingWhite) {
    std::vector<uint16_t> black(480 * 640, 0);
    ASSERT_TRUE(PresentFrame(window, black.data(), 480, 640, 480));
    uint64_t count = test::PresentCount();
    EXPECT_GT(test::FirstPresentTimeNs(), 0);
    // A 10 x 10 frame, pitch 12, whose rectangle reaches past the screen.
    std::vector<uint16_t> small(12 * 10, 0xFFFF);
    for (int x = 0; x < 10; ++x) small[5 * 12 + x] = 0xF800;  // row 5 red
    ASSERT_TRUE(PresentFrameRect(window, small.data(), 10, 10, 12, 4, 2, 100, 100));
    EXPECT_EQ(test::PresentCount(), count + 1);
    std::vector<uint16_t> frame = test::LastFrame();
    ASSERT_EQ(frame.size(), 480u * 640u);
    EXPECT_EQ(frame[0 * 480 + 0], 0);       // left of and above the rectangle
    EXPECT_EQ(frame[2 * 480 + 4], 0xFFFF);  // its corner
    EXPECT_EQ(frame[5 * 480 + 9], 0xF800);
    EXPECT_EQ(frame[9 * 480 + 9], 0xFFFF);
    EXPECT_EQ(frame[2 * 480 + 10], 0);  // clipped to the frame's 10 columns
    EXPECT_EQ(frame[10 * 480 + 4], 0);
    // A rectangle outside the frame copies nothing, and fails nothing.
    EXPECT_TRUE(PresentFrameRect(window, small.data(), 10, 10, 12, 475, 635, 10, 10));
    EXPECT_TRUE(PresentFrameRect(window, small.data(), 10, 10, 12, 20, 2, 10, 10));  // right of it, rows inside
    EXPECT_TRUE(PresentFrameRect(window, small.data(), 10, 10, 12, 2, 2, -5, 5));    // negative width
    EXPECT_EQ(test::LastFrame()[2 * 480 + 20], 0);
    EXPECT_TRUE(PresentFrameRect(window, small.data(), 10, 10, 12, -2147483647, -5, 2147483647, 2147483647));
    EXPECT_EQ(test::LastFrame()[639 * 480 + 479], 0);
    EXPECT_FALSE(PresentFrame(window, nullptr, 10, 10, 10));
    EXPECT_FALSE(PresentFrame(window, small.data(), 10, 10, 5));  // pitch below width

    std::string path = folder.path() + "frame.png";
    ASSERT_TRUE(test::SaveLastFrameAsPNG(path.c_str()));
    int width = 0, height = 0;
    std::vector<uint8_t> png = readPng(path, &width, &height);
    ASSERT_EQ(width, 480);
    ASSERT_EQ(height, 640);
    auto at = [&](int x, int y, int channel) { return png[(static_cast<size_t>(y) * 480 + x) * 3 + channel]; };
    EXPECT_EQ(at(4, 2, 0), 255);
    EXPECT_EQ(at(4, 2, 1), 255);
    EXPECT_EQ(at(4, 2, 2), 255);
    EXPECT_EQ(at(9, 5, 0), 255);
    EXPECT_EQ(at(9, 5, 1), 0);
    EXPECT_EQ(at(0, 0, 0), 0);

    DestroyWindow(window);
    EXPECT_FALSE(PresentFrame(window, black.data(), 480, 640, 480));
    EXPECT_FALSE(test::SaveLastFrameAsPNG((folder.path() + "no/such/folder.png").c_str()));
}

// The desktop window is updated only for what changed, and then shows the
// whole picture: the rows a frame changed, with the rest as before. (The
// test's thread is the window's: a present is shown at once.)
TEST_F(CeWindowTest, OnlyChangedRowsAreShownAgainAndTheWindowShowsTheWholePicture) {
    // A real desktop also asks for repaints of its own (exposure).
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::string(driver) != "dummy") GTEST_SKIP() << "counts the updates of SDL's dummy desktop";
    // RGB565 widened by SDL: compare the bits the frame holds.
    auto shown = [](int x, int y) { return test::ShownPixel(x, y) & 0xF8FCF8; };
    std::vector<uint16_t> frame(480 * 640, 0x001F);  // blue
    ASSERT_TRUE(PresentFrame(window, frame.data(), 480, 640, 480));
    const uint64_t count = test::ShowCount();
    EXPECT_EQ(shown(0, 0), 0x0000F8);
    EXPECT_EQ(shown(479, 639), 0x0000F8);

    // The same picture again, whole or in part: nothing to show.
    ASSERT_TRUE(PresentFrame(window, frame.data(), 480, 640, 480));
    ASSERT_TRUE(PresentFrameRect(window, frame.data(), 480, 640, 480, 0, 300, 480, 20));
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(test::ShowCount(), count);

    // Changed bands are shown; the rows around them stay as they were.
    for (int x = 0; x < 480; ++x) frame[100 * 480 + x] = 0xF800, frame[500 * 480 + x] = 0x07E0;
    frame[639 * 480 + 479] = 0xFFFF;
    ASSERT_TRUE(PresentFrameRect(window, frame.data(), 480, 640, 480, 0, 90, 480, 20));
    ASSERT_TRUE(PresentFrameRect(window, frame.data(), 480, 640, 480, 0, 490, 480, 150));
    EXPECT_GT(test::ShowCount(), count);
    const struct {
        int x, y;
        int32_t colour;
    } pixels[] = {{0, 0, 0x0000F8},   {5, 99, 0x0000F8},   {5, 100, 0xF80000}, {479, 100, 0xF80000},
                  {5, 101, 0x0000F8}, {5, 300, 0x0000F8},  {0, 500, 0x00FC00}, {5, 501, 0x0000F8},
                  {478, 639, 0x0000F8}, {479, 639, 0xF8FCF8}};
    for (const auto& p : pixels) EXPECT_EQ(shown(p.x, p.y), p.colour) << p.x << ", " << p.y;

    // A repaint the desktop asks for shows everything, changed or not.
    const uint64_t before = test::ShowCount();
    ShowWindow(window, SW_SHOW);
    EXPECT_GT(test::ShowCount(), before);
    EXPECT_EQ(shown(5, 100), 0xF80000);
}

// On an X display the window's thread sleeps until the desktop has input
// for it: a key typed by another client, while the thread waits for a
// message, arrives (skipped without X or xdotool).
TEST_F(CeWindowTest, AKeyFromTheDesktopEndsAWaitForMessages) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::string(driver) != "x11" || std::system("command -v xdotool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs an X display and xdotool";
    SDL_Window* desktop = SDL_GetWindowFromID(1);
    for (Uint32 id = 1; !desktop && id < 64; ++id) desktop = SDL_GetWindowFromID(id);
    ASSERT_NE(desktop, nullptr);
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {}
    std::thread typist([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        (void)!std::system("xdotool search --name '^Test Window$' windowfocus --sync key 5 >/dev/null 2>&1");
    });
    // Several keys may come (focus first): wait until the 5 does.
    bool typed = false;
    for (int i = 0; i < 20 && !typed; ++i) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT) != WAIT_OBJECT_0) break;
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE))
            typed = typed || (msg.message == WM_KEYDOWN && msg.wParam == '5');
    }
    typist.join();
    EXPECT_TRUE(typed);
}

}  // namespace
