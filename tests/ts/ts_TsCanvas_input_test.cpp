// Keys and touch: the key states between latches, the key mapping, the
// pointer-event queue and the touch regions that act as keys.
#include "ts_KeyMapping.h"
#include "ts_input_PointerInputEventManager.h"
#include "ts_input_PointerInputKeyManager.h"
#include "ts_input_PointerInputKeyRegion.h"
#include "ts_test_support.h"

using ts::KeyMapping;
using ts::TsCanvas;
using ts::input::PointerInputEventManager;
using ts::input::PointerInputKeyManager;
using ts::input::PointerInputKeyRegion;
using tstest::TestCanvas;

namespace {

class TsCanvasInputTest : public VMTest {
protected:
    tstest::Booted booted;  // before the reference members
    void SetUp() override {
        VMTest::SetUp();
        canvas = tstest::stoppedCanvas();
        PointerInputKeyManager::removeRegions(0);
        PointerInputEventManager::setEnabled(false);
        canvas->setScreenOffset(0, 0);
        canvas->pointerReleased(0, 0);
    }
    // "p" pressed, "h" held, "r" released since the last latch, for action a.
    std::string state(jint a) {
        return std::string(canvas->wasKeyPressed(a) ? "p" : "") + (canvas->isKeyHeld(a) ? "h" : "") +
               (canvas->wasKeyReleased(a) ? "r" : "");
    }

    VMPtr<TestCanvas> canvas;
};

}  // namespace

TEST_F(TsCanvasInputTest, KeyStatesChangeOnlyAtTheLatch) {
    // Pressed and released within a frame: pressed and released, never held.
    canvas->keyPressed(-1);
    canvas->keyReleased(-1);
    EXPECT_EQ(state(1), "");
    canvas->latchInput();
    EXPECT_EQ(state(1), "pr");
    canvas->latchInput();
    EXPECT_EQ(state(1), "");
    // Held across frames.
    canvas->keyPressed(-1);
    canvas->latchInput();
    EXPECT_EQ(state(1), "ph");
    canvas->keyPressed(-1);  // a repeat of a held key is no press
    canvas->latchInput();
    EXPECT_EQ(state(1), "h");
    canvas->keyReleased(-1);
    canvas->latchInput();
    EXPECT_EQ(state(1), "r");
    canvas->keyReleased(-1);  // a key not held is not released again
    canvas->latchInput();
    EXPECT_EQ(state(1), "");
    // Seventy presses in one frame count 63.
    for (int i = 0; i < 70; ++i) {
        canvas->keyPressed(-5);
        canvas->keyReleased(-5);
    }
    canvas->latchInput();
    EXPECT_EQ(canvas->frameKeys[8] & TsCanvas::KEY_PRESS_COUNT, 63);
    EXPECT_EQ(state(8), "pr");
    EXPECT_EQ(VM_THROWN_CLASS(canvas->isKeyHeld(128)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(canvas->pressKey(-1)), "java.lang.ArrayIndexOutOfBoundsException");
}

TEST_F(TsCanvasInputTest, KeyCodesMapToTheirActions) {
    struct Case {
        jint keyCode;
        std::vector<jint> actions;
    };
    const Case cases[] = {
        {-1, {1}},   {-3, {2}},  {-4, {5}},  {-2, {6}}, {-5, {8}}, {'0', {16}}, {'5', {21}},
        {'9', {25}}, {-6, {29}}, {-7, {27}}, {'*', {}}, {'#', {}}, {-10, {}},
    };
    for (const Case& c : cases) {
        canvas->keyPressed(c.keyCode);
        canvas->latchInput();
        std::vector<jint> held;
        for (jint a = 1; a < 64; ++a) {
            if (canvas->isKeyHeld(a)) held.push_back(a);
        }
        EXPECT_EQ(held, c.actions) << c.keyCode;
        canvas->keyReleased(c.keyCode);
        canvas->latchInput();
    }
    // Game actions 1 to 12 are taken whatever the key; others are not.
    EXPECT_EQ(KeyMapping::getActions(100, 12), jlong(1) << 12);
    EXPECT_EQ(KeyMapping::getActions(100, 13), 0);
    EXPECT_EQ(KeyMapping::getActions('3', 1), (jlong(1) << 1) | (jlong(1) << 19));
}

TEST_F(TsCanvasInputTest, TheEventQueueKeepsTwentyRelativeToTheGameArea) {
    canvas->pointerPressed(1, 1);  // disabled: dropped
    PointerInputEventManager::setEnabled(true);
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 0);
    canvas->setScreenOffset(10, 20);
    canvas->pointerPressed(10, 20);
    for (int i = 1; i < 24; ++i) canvas->pointerDragged(10 + i, 20 + 2 * i);
    canvas->pointerReleased(99, 99);
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 20);
    // Full: the later moves took the last move's place, and the release
    // pushed out the oldest move.
    std::vector<jint> xs = {0};
    for (int i = 2; i < 19; ++i) xs.push_back(i);
    xs.push_back(23);
    xs.push_back(89);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(PointerInputEventManager::nextEvent());
        EXPECT_EQ(PointerInputEventManager::getPointerId(), 0);
        EXPECT_EQ(PointerInputEventManager::getType(), i == 0 ? 1 : i == 19 ? 3 : 2);
        EXPECT_EQ(PointerInputEventManager::getX(), xs[size_t(i)]);
        EXPECT_EQ(PointerInputEventManager::getY(), i == 19 ? 79 : 2 * xs[size_t(i)]);
    }
    EXPECT_FALSE(PointerInputEventManager::nextEvent());
    // Enabling again changes nothing; disabling drops what is queued.
    canvas->pointerReleased(15, 25);
    PointerInputEventManager::setEnabled(true);
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 1);
    PointerInputEventManager::setEnabled(false);
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 0);
    EXPECT_FALSE(PointerInputEventManager::nextEvent());
}

TEST_F(TsCanvasInputTest, TouchRegionsHoldTheirKeysWhileTouched) {
    VMPtr<PointerInputKeyRegion> left1 = PointerInputKeyRegion::create(2, 0, 0, 100, 100);
    VMPtr<PointerInputKeyRegion> left2 = PointerInputKeyRegion::create(2, 100, 0, 100, 100);
    VMPtr<PointerInputKeyRegion> fire = PointerInputKeyRegion::create(8, 0, 100, 200, 100);
    for (const auto& r : {left1, left2, fire, left1}) PointerInputKeyManager::addRegion(r);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 3);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(2), 2);
    canvas->setScreenOffset(0, 40);  // touches come in canvas positions

    canvas->pointerPressed(50, 90);  // left1
    canvas->latchInput();
    EXPECT_EQ(state(2), "ph");
    EXPECT_TRUE(left1->isPressed());
    canvas->pointerDragged(150, 90);  // onto left2: the key stays down
    canvas->latchInput();
    EXPECT_EQ(state(2), "h");
    canvas->pointerDragged(150, 190);  // onto fire
    canvas->latchInput();
    EXPECT_EQ(state(2), "r");
    EXPECT_EQ(state(8), "ph");
    canvas->pointerReleased(150, 190);
    canvas->latchInput();
    EXPECT_EQ(state(8), "r");
    EXPECT_FALSE(fire->isPressed());

    // A region removed under the touch releases its key.
    canvas->pointerPressed(10, 150);
    canvas->latchInput();
    EXPECT_EQ(state(8), "ph");
    EXPECT_EQ(PointerInputKeyManager::removeRegions(8), 1);
    canvas->latchInput();
    EXPECT_EQ(state(8), "r");
    // A region added under the touch presses its key at the next latch.
    canvas->pointerDragged(10, 50);
    PointerInputKeyManager::addRegion(PointerInputKeyRegion::create(9, 0, 0, 20, 20));
    canvas->latchInput();
    EXPECT_EQ(state(9), "ph");

    VMPtr<VMArray<PointerInputKeyRegion, 1>> out = VMArray<PointerInputKeyRegion, 1>::create(1);
    EXPECT_EQ(PointerInputKeyManager::getRegions(out, 2), 1);
    EXPECT_EQ(out->get(0), left1.get());
    EXPECT_EQ(PointerInputKeyManager::removeRegions(0), 3);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 0);
    canvas->latchInput();
    EXPECT_EQ(state(9), "r");
    EXPECT_EQ(VM_THROWN_CLASS(PointerInputKeyRegion::create(64, 0, 0, 1, 1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(PointerInputKeyRegion::create(0, 0, 0, 1, 1)), "java.lang.IllegalArgumentException");
}
