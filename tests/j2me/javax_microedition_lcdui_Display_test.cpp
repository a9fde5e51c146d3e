// The display: colours and capabilities, making displayables current, the
// event listener, serial calls; and the canvas's key entries and key mapping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VMRuntime.h"
#include "hal.h"
#include "java_lang_RuntimeException.h"
#include "javax_microedition_lcdui_Canvas.h"
#include "javax_microedition_lcdui_Display.h"
#include "vm_boot.h"
#include "vm_test.h"

namespace j2metest {

using javax::microedition::lcdui::Display;

std::vector<std::string> g_calls;

// Records its calls, whether the event lock was held, and what the display
// called current during a show.
class RecordingCanvas : public javax::microedition::lcdui::Canvas {
    VM_DECLARE_CLASS(RecordingCanvas, javax::microedition::lcdui::Canvas)

public:
    std::string name;
    VMPtr<RecordingCanvas> construct() {
        Super::construct();
        return this;
    }
    void paint(VMPtr<javax::microedition::lcdui::Graphics> g) override { (void)g; }
    void note(const std::string& what) {
        if (name.empty()) return;  // the stand-in each test starts from
        java::lang::Object* lock = Display::eventLock.target;
        g_calls.push_back(name + " " + what + (lock->_VM_owner == VMThread::current() ? "" : " unlocked"));
    }
    void keyPressed(jint k) override { note("keyPressed " + std::to_string(k)); }
    void keyRepeated(jint k) override { note("keyRepeated " + std::to_string(k)); }
    void keyReleased(jint k) override { note("keyReleased " + std::to_string(k)); }
    void pointerPressed(jint x, jint y) override {
        note("pointerPressed " + std::to_string(x) + "," + std::to_string(y));
    }
    void pointerReleased(jint x, jint y) override {
        note("pointerReleased " + std::to_string(x) + "," + std::to_string(y));
    }
    void pointerDragged(jint x, jint y) override {
        note("pointerDragged " + std::to_string(x) + "," + std::to_string(y));
    }
    void showNotify() override {
        VMPtr<javax::microedition::lcdui::Displayable> now = Display::display->getCurrent();
        note(std::string("showNotify current=") + (now.target == this ? "me" : "other"));
    }
    void hideNotify() override { note("hideNotify"); }
};

// Counts the titles the platform was told.
struct RecordingPeer : HAL_CanvasWindow {
    using HAL_CanvasWindow::HAL_CanvasWindow;
    int titles = 0;
    void setTitle(const char16_t*, int32_t) override { ++titles; }
};

}  // namespace j2metest

VM_REGISTER_CLASS(j2metest::RecordingCanvas, .name = "j2metest.RecordingCanvas")

namespace {

using j2metest::g_calls;
using j2metest::RecordingCanvas;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Display;

class DisplayTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        g_calls.clear();
        display = Display::getDisplay(nullptr).target;  // the static keeps it
        ASSERT_NE(display, nullptr);
        // Every test starts from a silent canvas shown, whatever an earlier
        // test (or an earlier repetition) left current.
        display->setCurrent(RecordingCanvas::create()->construct());
        event(2);
        g_calls.clear();
    }
    VMPtr<RecordingCanvas> canvas(const char* name) {
        VMPtr<RecordingCanvas> c = RecordingCanvas::create()->construct();
        c->name = name;
        return c;
    }
    static void event(int type, std::vector<intptr_t> args = {}) {
        _VM_dispatchEvent(type, static_cast<int>(args.size()), args.data());
    }
    Display* display = nullptr;
};

TEST_F(DisplayTest, ColoursBordersAndCapabilities) {
    const jint colours[] = {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xAFAFAF, 0x606060};
    for (jint i = 0; i < 6; ++i) EXPECT_EQ(display->getColor(i), colours[i]) << i;
    EXPECT_EQ(VM_THROWN_CLASS(display->getColor(6)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(display->getColor(-1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(display->getBorderStyle(true), 0);
    EXPECT_EQ(display->getBorderStyle(false), 1);
    EXPECT_TRUE(display->isColor());
    EXPECT_EQ(display->numColors(), 65536);
    EXPECT_EQ(display->numAlphaLevels(), 32);
    EXPECT_FALSE(display->vibrate(100));
    EXPECT_EQ(VM_THROWN_CLASS(display->vibrate(-1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(Display::getDisplay(nullptr).target, display);
}

TEST_F(DisplayTest, MakingCurrentShowsAtOnceAndOnlyOnAChange) {
    VMPtr<RecordingCanvas> a = canvas("a");
    VMPtr<RecordingCanvas> b = canvas("b");
    display->setCurrent(a);
    display->setCurrent(a);  // already current: nothing
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a showNotify current=me"}));
    display->setCurrent(b);
    // During the switch the display answers with the one being switched to.
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{"a showNotify current=me", "a hideNotify", "b showNotify current=me"}));
    display->setCurrent(nullptr);  // leaves b shown
    EXPECT_EQ(display->getCurrent(), b);
    EXPECT_TRUE(b->isShown());
    EXPECT_FALSE(a->isShown());

    g_calls.clear();
    event(1);  // pause: hidden
    EXPECT_FALSE(b->isShown());
    event(1);
    event(2);
    EXPECT_TRUE(b->isShown());
    EXPECT_EQ(g_calls, (std::vector<std::string>{"b hideNotify", "b showNotify current=me"}));
}

TEST_F(DisplayTest, KeysAndTheStylusReachTheCurrentCanvasUnderTheEventLock) {
    VMPtr<RecordingCanvas> a = canvas("a");
    display->setCurrent(a);
    g_calls.clear();
    event(8, {-1});
    event(10, {-1});
    event(9, {-1});
    event(11, {3, 4});
    event(13, {5, 6});
    event(12, {7, 8});
    event(4);
    event(14);
    event(40, {1});
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{"a keyPressed -1", "a keyRepeated -1", "a keyReleased -1",
                                        "a pointerPressed 3,4", "a pointerDragged 5,6", "a pointerReleased 7,8"}));
    // With nothing current, keys go nowhere.
    g_calls.clear();
    VMPtr<javax::microedition::lcdui::Displayable> saved = display->current;
    display->current = nullptr;
    event(8, {-1});
    event(11, {1, 1});
    display->current = saved;
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(DisplayTest, AGameCanvasSuppressesKeysWithAGameAction) {
    VMPtr<RecordingCanvas> a = canvas("a");
    a->suppressKeyEvents = true;
    const struct {
        jint keyCode;
        bool delivered;
    } cases[] = {{-1, false}, {-2, false}, {-3, false}, {-4, false}, {-5, false},
                 {-6, true},  {-7, true},  {53, true},  {35, true},  {42, true}};
    for (const auto& c : cases) {
        g_calls.clear();
        a->callKeyPressed(c.keyCode);
        a->callKeyRepeated(c.keyCode);
        a->callKeyReleased(c.keyCode);
        EXPECT_EQ(g_calls.size(), c.delivered ? 3u : 0u) << c.keyCode;
    }
    a->suppressKeyEvents = false;
    g_calls.clear();
    a->callKeyPressed(-5);
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(DisplayTest, TheCanvasMapsKeysThroughThePlatform) {
    VMPtr<RecordingCanvas> a = canvas("a");
    EXPECT_EQ(a->getKeyCode(Canvas::UP), -1);
    EXPECT_EQ(a->getKeyCode(Canvas::FIRE), -5);
    EXPECT_EQ(VM_THROWN_CLASS(a->getKeyCode(Canvas::GAME_A)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(a->getGameAction(-4), Canvas::RIGHT);
    EXPECT_EQ(a->getGameAction(Canvas::KEY_NUM5), 0);
    EXPECT_EQ(text(a->getKeyName(Canvas::KEY_POUND)), "#");
    EXPECT_EQ(text(a->getKeyName(-2)), "Down");
    EXPECT_EQ(VM_THROWN_CLASS(a->getKeyName(999)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(a->getWidth(), 480);
    EXPECT_EQ(a->getHeight(), 640);
    a->setFullScreenMode(true);
    EXPECT_TRUE(a->peer->fullScreen());
    EXPECT_TRUE(a->fullScreen);
}

TEST_F(DisplayTest, ATitleEqualToTheLastIsNotSentAgain) {
    VMPtr<RecordingCanvas> a = canvas("a");
    HAL_deleteCanvas(a->peer);
    auto* peer = new j2metest::RecordingPeer(a->ownerValue());
    a->peer = peer;
    a->setTitle(VM_STR("Title"));
    a->setTitle(java::lang::String::_VM_fromUTF8("Title"));  // equal, not the same
    EXPECT_EQ(peer->titles, 1);
    a->setTitle(nullptr);
    EXPECT_EQ(a->getTitle(), nullptr);
    EXPECT_EQ(peer->titles, 1);
    a->setTitle(VM_STR("Other"));
    EXPECT_EQ(peer->titles, 2);
    EXPECT_EQ(text(a->getTitle()), "Other");
}

TEST_F(DisplayTest, SerialCallsRunLaterUnderTheEventLockAndSurviveAThrow) {
    EXPECT_EQ(VM_THROWN_CLASS(display->callSerially(nullptr)), "java.lang.NullPointerException");
    std::vector<std::string> ran;
    VMPtr<vmtest::Task> first = vmtest::Task::create();
    first->body = [&] {
        ran.push_back(Display::eventLock->_VM_owner == VMThread::current() ? "first locked" : "first");
        _VM_throw(java::lang::RuntimeException::create()->construct(VM_STR("dropped")));
    };
    VMPtr<vmtest::Task> second = vmtest::Task::create();
    second->body = [&] { ran.push_back("second"); };
    display->callSerially(first);
    display->callSerially(second);
    first = nullptr;  // the display keeps them until they run
    _VM_collect(_VM_runtime);
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(HAL_runSerialCalls());
    EXPECT_EQ(ran, (std::vector<std::string>{"first locked", "second"}));
}

TEST_F(DisplayTest, SerialCallsDroppedAtShutdownAreNoLongerHeld) {
    VMWeak<vmtest::Task> dropped;
    bool ran = false;
    for (int i = 0; i < 3; ++i) {
        VMPtr<vmtest::Task> task = vmtest::Task::create();
        task->body = [&] { ran = true; };
        dropped = task;
        display->callSerially(task);
    }
    HAL_dropSerialCalls();
    _VM_collect(_VM_runtime);
    EXPECT_TRUE(dropped.isNull());
    EXPECT_FALSE(HAL_runSerialCalls());
    EXPECT_FALSE(ran);
}

}  // namespace
