// The game pad: one code a frame from keys and touches, touch before keys,
// presses before holds.
#include <string>

#include "ingame_test_support.h"
#include "ts_input_PointerInputEventManager.h"

namespace {

using com::ventrix::utility::MyPointer;
using ingametest::GamePad;

class GamePadTest : public ingametest::InGameTest {};

TEST_F(GamePadTest, TouchesWinOverKeysAndPressesOverHolds) {
    VMPtr<GamePad> pad = GamePad::getInstance();
    EXPECT_EQ(GamePad::getInstance(), pad);
    EXPECT_EQ(pad->pad->getSlotCount(), 2);
    VMPtr<MyPointer> pointer = pad->myPointer;
    ASSERT_NE(pointer, nullptr);
    using ingametest::kAction, ingametest::kDown, ingametest::kLeft, ingametest::kRight, ingametest::kUp;
    enum Touch { NO_TOUCH, RELEASED, PRESSED };
    struct Case {
        const char* what;
        std::set<jint> pressed, held;
        Touch touch;
        jint x, y;
        jint code;
    };
    // The left pad lies at (0, 640): up (60..99, 460..499), down (60..99,
    // 580..619), left (10..49, 520..559), right (110..149, 520..559); the
    // action button at (380..439, 540..599).
    const Case cases[] = {
        {"no input", {}, {}, NO_TOUCH, 0, 0, -1},
        {"up and left pressed", {kUp, kLeft}, {}, NO_TOUCH, 0, 0, 1},
        {"up held, left pressed", {kLeft}, {kUp}, NO_TOUCH, 0, 0, 3},
        {"down pressed before action pressed", {kAction, kDown}, {}, NO_TOUCH, 0, 0, 2},
        {"right pressed", {kRight}, {}, NO_TOUCH, 0, 0, 4},
        {"action pressed", {kAction}, {}, NO_TOUCH, 0, 0, 5},
        {"up held", {}, {kUp}, NO_TOUCH, 0, 0, 6},
        {"down held before left held", {}, {kLeft, kDown}, NO_TOUCH, 0, 0, 7},
        {"left held", {}, {kLeft}, NO_TOUCH, 0, 0, 8},
        {"right held", {}, {kRight, kAction}, NO_TOUCH, 0, 0, 9},
        {"action held", {}, {kAction}, NO_TOUCH, 0, 0, 10},
        {"finger lifted from left, keys ignored", {kUp}, {kRight}, RELEASED, 20, 530, 3},
        {"finger lifted from up", {}, {}, RELEASED, 70, 470, 1},
        {"finger lifted from action (right pad)", {}, {}, RELEASED, 400, 560, 5},
        {"finger down on down", {kUp}, {}, PRESSED, 70, 600, 7},
        {"finger down on right", {}, {}, PRESSED, 120, 530, 9},
        {"finger down on action", {}, {}, PRESSED, 439, 599, 10},
        {"finger lifted outside both pads", {kUp}, {kUp}, RELEASED, 240, 300, -1},
        {"finger down outside both pads", {kUp}, {}, PRESSED, 200, 530, -1},
        {"finger down just past the up button", {}, {}, PRESSED, 100, 470, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        keys->pressed = c.pressed;
        keys->held = c.held;
        (*pointer->justReleased)[0] = c.touch == RELEASED;
        (*pointer->justPressed)[0] = c.touch == PRESSED;
        (*pointer->x)[0] = (*pointer->pressX)[0] = c.x;
        (*pointer->y)[0] = (*pointer->pressY)[0] = c.y;
        pad->update();
        EXPECT_EQ(pad->getDirection(), c.code);
    }
    VMPtr<VMInts> area = pad->touchArea;
    EXPECT_EQ(std::vector<jint>(area->elements(), area->elements() + 5), (std::vector<jint>{100, 470, 1, 1, 0}));
}

// A finger kept on the pad, frame by frame as the pointer polls its events:
// held codes every frame, following the finger from button to button.
TEST_F(GamePadTest, AFingerKeptDownHoldsTheButtonUnderItEveryFrame) {
    using ts::input::PointerInputEventManager;
    VMPtr<GamePad> pad = GamePad::getInstance();
    VMPtr<MyPointer> pointer = pad->myPointer;
    enum Event { NOTHING = 0, PRESS = 1, DRAG = 2, RELEASE = 3 };
    struct Frame {
        const char* what;
        Event event;
        jint x, y;
        std::set<jint> held;
        jint code;
    };
    const Frame frames[] = {
        {"finger down on right", PRESS, 120, 530, {}, 9},
        {"kept on right", NOTHING, 0, 0, {}, 9},
        {"still kept, a key held too", NOTHING, 0, 0, {ingametest::kUp}, 9},
        {"moved a little inside right", DRAG, 140, 550, {}, 9},
        {"slid onto left", DRAG, 20, 530, {}, 8},
        {"kept on left", NOTHING, 0, 0, {}, 8},
        {"slid off both pads: the keys decide", DRAG, 200, 530, {ingametest::kUp}, 6},
        {"off both pads, no key", NOTHING, 0, 0, {}, -1},
        {"slid onto action", DRAG, 400, 560, {}, 10},
        {"kept on action", NOTHING, 0, 0, {}, 10},
        {"lifted from action", RELEASE, 400, 560, {}, 5},
        {"after the lift", NOTHING, 0, 0, {}, -1},
        {"down outside both pads, a key held", PRESS, 240, 300, {ingametest::kUp}, -1},
        {"kept outside: the keys decide", NOTHING, 0, 0, {ingametest::kUp}, 6},
        {"lifted outside", RELEASE, 240, 300, {ingametest::kUp}, -1},
    };
    for (const Frame& f : frames) {
        SCOPED_TRACE(f.what);
        if (f.event != NOTHING) PointerInputEventManager::addEvent(f.event, f.x, f.y);
        // The pointer polls after the scene's update: the pad sees the
        // events of the frame before.
        pointer->update();
        keys->pressed.clear();
        keys->held = f.held;
        pad->update();
        EXPECT_EQ(pad->getDirection(), f.code);
    }
}

}  // namespace
