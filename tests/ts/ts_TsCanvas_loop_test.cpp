// The frame loop: life-cycle events as the canvas is shown and hidden, the
// exit event, the frame's one latch, and (in a whole program run) the loop
// ending when the window is closed.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ce_window.h"
#include "hal_host.h"
#include "hal_input.h"
#include "hal_window.h"
#include "host_support.h"
#include "javax_microedition_lcdui_Display.h"
#include "ts_test_support.h"
#include "vessilo_test_ScriptMIDlet.h"

using javax::microedition::lcdui::Display;
using ts::TsCanvas;
using tstest::IdleMIDlet;
using tstest::TestCanvas;

namespace {

// The test thread is the main thread of a window.
class TsCanvasLoopTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        ASSERT_TRUE(HAL_createHostWindow(nullptr, u"TsCanvasLoopTest", ce::DefWindowProcW));
        HAL_recordMainThread();
        HAL_resetInput();
    }
    void TearDown() override {
        Display::getDisplay(nullptr)->setShown(true);
        HAL_releaseHostWindow();
    }
    // Exit messages the application manager was sent.
    static int exitRequests() {
        int n = 0;
        ce::MSG msg;
        while (ce::PeekMessageW(&msg, HAL_getMainWindow(), HAL_WM_EXIT, HAL_WM_EXIT, ce::PM_REMOVE)) ++n;
        return n;
    }
    static void sleepMs(jlong ms) { VMThread::sleep(VMThread::current(), ms); }

    TestRuntimeFolder folder;
};

}  // namespace

TEST_F(TsCanvasLoopTest, StartsWhenShownPausesWhenHiddenResumesAfterBeingShownAWhileAndExitsOnce) {
    VMPtr<IdleMIDlet> midlet = IdleMIDlet::create()->construct();
    VMPtr<TestCanvas> canvas = TestCanvas::create()->construct(midlet);
    EXPECT_EQ(TsCanvas::getInstance().get(), canvas.get());
    VMPtr<Display> display = Display::getDisplay(midlet);
    sleepMs(100);
    EXPECT_TRUE(canvas->events.empty()) << "started before it was shown";
    EXPECT_EQ(canvas->ticks, 0);

    display->setCurrent(canvas);
    ASSERT_TRUE(vmWaitFor([&] { return canvas->ticks >= 3; }));
    EXPECT_EQ(canvas->events, std::vector<jint>{0});
    EXPECT_GE(canvas->paints, 2);
    EXPECT_EQ(canvas->getFrameTime(), 40);

    // Hidden twice: one pause, and no frames while hidden.
    display->setShown(false);
    canvas->hideNotify();
    ASSERT_TRUE(vmWaitFor([&] { return canvas->events.size() == 2; }));
    EXPECT_EQ(canvas->events.back(), 1);
    const int ticks = canvas->ticks;
    sleepMs(200);
    EXPECT_EQ(canvas->ticks, ticks);
    EXPECT_EQ(canvas->events.size(), 2u);

    // Shown twice: frames at once, one resume (then 5) after 750 ms.
    const uint64_t shownAt = HAL_getTickCount();
    display->setShown(true);
    canvas->showNotify();
    ASSERT_TRUE(vmWaitFor([&] { return canvas->events.size() == 4; }));
    EXPECT_EQ(canvas->events, (std::vector<jint>{0, 1, 2, 5}));
    EXPECT_GE(canvas->eventTimes[2] - shownAt, uint64_t(TsCanvas::RESUME_DELAY));
    EXPECT_GT(canvas->ticks, ticks) << "no frames while waiting for the resume";
    sleepMs(100);
    EXPECT_EQ(canvas->events.size(), 4u);

    // A hide and a show between two frames (here under the canvas's
    // monitor, which the loop needs to look at them) cancel out.
    {
        VMSynchronized between(canvas);
        canvas->hideNotify();
        canvas->showNotify();
    }
    sleepMs(100);
    EXPECT_EQ(canvas->events.size(), 4u);

    // A show while the canvas suppresses resumes: the pause comes, frames
    // run again at once, and no resume follows.
    canvas->suppressResume = true;
    display->setShown(false);
    canvas->hideNotify();
    ASSERT_TRUE(vmWaitFor([&] { return canvas->events.size() == 5; }));
    display->setShown(true);
    canvas->showNotify();
    const int hiddenTicks = canvas->ticks;
    sleepMs(TsCanvas::RESUME_DELAY + 250);
    EXPECT_EQ(canvas->events, (std::vector<jint>{0, 1, 2, 5, 1}));
    EXPECT_GT(canvas->ticks, hiddenTicks);
    canvas->suppressResume = false;

    // Exit: the loop ends, the application manager hears of it once, and
    // later posts go nowhere.
    exitRequests();
    canvas->postEvent(TsCanvas::EVENT_EXIT);
    ASSERT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
    canvas->postEvent(TsCanvas::EVENT_EXIT);
    canvas->postEvent(TsCanvas::EVENT_PAUSE);
    EXPECT_EQ(canvas->events, (std::vector<jint>{0, 1, 2, 5, 1, 3}));
    EXPECT_EQ(exitRequests(), 1);
    EXPECT_EQ(midlet->state, javax::microedition::midlet::MIDlet::DESTROYED);
}

TEST_F(TsCanvasLoopTest, FrameTimeIsClampedAndAnExitBeforeTheFirstShowEndsTheLoop) {
    VMPtr<TestCanvas> canvas = TestCanvas::create()->construct(nullptr);
    for (auto [asked, inForce] : {std::pair{-5, 0}, {25, 25}, {1001, 1000}}) {
        canvas->setFrameTime(asked);
        EXPECT_EQ(canvas->getFrameTime(), inForce) << asked;
    }
    canvas->postEvent(TsCanvas::EVENT_EXIT);
    ASSERT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
    EXPECT_EQ(canvas->events, std::vector<jint>{3});
    EXPECT_EQ(canvas->ticks, 0);
}

// The game's canvas latches again in its tick; a key pressed between two
// frames must still read as pressed in exactly one of them.
TEST_F(TsCanvasLoopTest, ALatchInTheTickKeepsTheFramesPresses) {
    VMPtr<TestCanvas> canvas = TestCanvas::create()->construct(nullptr);
    std::vector<bool> pressed;
    canvas->onTick = [&pressed](TestCanvas& c) {
        c.latchInput();
        pressed.push_back(c.wasKeyPressed(1));
    };
    canvas->showNotify();
    ASSERT_TRUE(vmWaitFor([&] { return canvas->ticks >= 2; }));
    canvas->keyPressed(-1);  // up
    canvas->keyReleased(-1);
    const size_t before = pressed.size();
    ASSERT_TRUE(vmWaitFor([&] { return pressed.size() >= before + 3; }));
    canvas->postEvent(TsCanvas::EVENT_EXIT);
    ASSERT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
    canvas->onTick = nullptr;
    EXPECT_EQ(std::count(pressed.begin(), pressed.end(), true), 1);
}

// --- a whole program run -----------------------------------------------------------

namespace tsloop {

uint64_t g_destroyedAt = 0;

class ClosingCanvas : public ts::TsCanvas {
    VM_DECLARE_CLASS(ClosingCanvas, ts::TsCanvas)

public:
    int ticks = 0;
    VMPtr<ClosingCanvas> construct(VMPtr<javax::microedition::midlet::MIDlet> application) {
        Super::construct(application);
        return this;
    }
    // A few frames in, the window is closed.
    void tick() override {
        if (++ticks == 5) ce::test::InjectClose();
    }
    void paintGame(VMPtr<javax::microedition::lcdui::Graphics> g) override { (void)g; }
    void run() override {
        Super::run();
        vessilo::test::logLine("loop ended " +
                               std::to_string(g_destroyedAt == 0 ? -1 : int64_t(HAL_getTickCount() - g_destroyedAt)));
    }
};

class ClosingMIDlet : public javax::microedition::midlet::MIDlet {
    VM_DECLARE_CLASS(ClosingMIDlet, javax::microedition::midlet::MIDlet)

public:
    VMField<ClosingCanvas> canvas;
    VMPtr<ClosingMIDlet> construct() {
        Super::construct();
        return this;
    }
    void startApp() override {
        if (canvas != nullptr) return;
        canvas = ClosingCanvas::create()->construct(this);
        Display::getDisplay(this)->setCurrent(canvas);
    }
    void pauseApp() override {}
    // As the game's application class does: the exit event to the canvas.
    void destroyApp(jboolean unconditional) override {
        (void)unconditional;
        vessilo::test::logLine("destroyApp");
        g_destroyedAt = HAL_getTickCount();
        VMPtr<ClosingCanvas> c = canvas;
        c->postEvent(ts::TsCanvas::EVENT_EXIT);
    }
    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(canvas, bits);
    }
};

}  // namespace tsloop

VM_REGISTER_CLASS(tsloop::ClosingCanvas, .name = "tsloop.ClosingCanvas")
VM_REGISTER_CLASS(tsloop::ClosingMIDlet, .name = "tsloop.ClosingMIDlet",
                  .newInstance = _VM_newInstanceOf<tsloop::ClosingMIDlet>)

TEST(TsCanvasRun, ClosingTheWindowEndsTheLoopBeforeTheRuntimeInterruptsIt) {
    TestRuntimeFolder runtime;
    std::string pattern = ::testing::TempDir() + "vessilo_tsloop_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::string folder = pattern + "/";
    std::filesystem::create_directories(folder + "properties");
    std::ofstream(folder + "properties/app.prop")
        << "MIDlet-Name: Loop Run\nMIDlet-1: Loop, /i.png, tsloop.ClosingMIDlet\n";
    const int exitCode = runHostChild(folder, {"XDG_RUNTIME_DIR=" + runtime.path()});
    const std::string log = readFile(folder + "midlet.log");
    EXPECT_EQ(exitCode, 0) << readFile(folder + "stderr.txt");
    std::istringstream lines(log);
    std::string destroy, ended;
    std::getline(lines, destroy);
    std::getline(lines, ended);
    EXPECT_EQ(destroy, "destroyApp") << log;
    ASSERT_EQ(ended.rfind("loop ended ", 0), 0u) << log;
    const int elapsed = std::stoi(ended.substr(11));
    EXPECT_GE(elapsed, 0);
    EXPECT_LT(elapsed, 250) << "the loop ended only when the runtime interrupted it";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

// The step gate: no frames without a step, exactly one per step, keys
// pressed between steps counted in the next frame, and a clock that moves
// by the frame period per step (so the resume delay is counted in steps).
TEST_F(TsCanvasLoopTest, TheStepGateRunsOneFramePerStepOnItsOwnClock) {
    VMPtr<IdleMIDlet> midlet = IdleMIDlet::create()->construct();
    VMPtr<TestCanvas> canvas = TestCanvas::create()->construct(midlet);
    EXPECT_FALSE(canvas->step()) << "no gate, no step";
    VMPtr<Display> display = Display::getDisplay(midlet);
    display->setCurrent(canvas);
    ASSERT_TRUE(vmWaitFor([&] { return canvas->ticks >= 1; }));
    canvas->setStepGate(true);
    ASSERT_TRUE(canvas->step());  // the frame under way, if any, is not one
    const int ticks = canvas->ticks, paints = canvas->paints;
    const jlong clockAt = canvas->gateClock;
    sleepMs(150);
    EXPECT_EQ(canvas->ticks, ticks) << "frames without a step";

    std::vector<bool> pressed;
    canvas->onTick = [&pressed](TestCanvas& c) { pressed.push_back(c.wasKeyPressed(5)); };
    for (int i = 0; i < 5; ++i) {
        if (i == 2) canvas->pressKey(5);
        ASSERT_TRUE(canvas->step());
        EXPECT_EQ(canvas->ticks, ticks + i + 1);
        EXPECT_EQ(canvas->paints, paints + i + 1);
    }
    EXPECT_EQ(pressed, (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(canvas->gateClock - clockAt, 5 * 40);

    // Hidden and shown again: the pause comes in the next step, the resume
    // once the gate's clock has passed 750 ms, that is in the 19th step.
    canvas->onTick = nullptr;
    display->setShown(false);
    canvas->hideNotify();
    ASSERT_TRUE(canvas->step());
    EXPECT_EQ(canvas->events.back(), TsCanvas::EVENT_PAUSE);
    display->setShown(true);
    canvas->showNotify();
    int steps = 0;
    while (canvas->events.back() != TsCanvas::EVENT_AFTER_RESUME && steps < 40) {
        ASSERT_TRUE(canvas->step());
        ++steps;
    }
    EXPECT_EQ(steps, 19);

    canvas->setStepGate(false);
    const int before = canvas->ticks;
    ASSERT_TRUE(vmWaitFor([&] { return canvas->ticks > before + 2; })) << "free running again";
    canvas->postEvent(TsCanvas::EVENT_EXIT);
    ASSERT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
}
