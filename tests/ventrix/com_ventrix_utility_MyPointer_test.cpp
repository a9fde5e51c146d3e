#include "panels_test_support.h"
#include "ts_input_PointerInputEventManager.h"
#include "ts_input_PointerInputKeyManager.h"

using com::ventrix::utility::MyPointer;
using ts::input::PointerInputEventManager;
using ts::input::PointerInputKeyManager;

namespace {

class MyPointerTest : public paneltest::PanelTest {
protected:
    VMPtr<MyPointer> p() { return MyPointer::getInstance(); }
    static void event(jint type, jint x, jint y) { PointerInputEventManager::addEvent(type, x, y); }
};

TEST_F(MyPointerTest, PressAndReleaseInOnePollThenTheCommit) {
    VMPtr<MyPointer> ptr = p();
    ptr->setScrollLimits(0, 0, 0, -500);
    event(1, 100, 100);
    event(2, 100, 130);
    event(3, 100, 130);
    ptr->update();
    EXPECT_FALSE((*ptr->isDown)[0]);
    EXPECT_TRUE((*ptr->justReleased)[0]);
    EXPECT_FALSE((*ptr->justPressed)[0]);  // the drag cleared it
    EXPECT_EQ(ptr->getDragY(0), 30);
    ptr->update();  // 30 down, then moved so that scrollY + 130 lies within -500 to 0
    EXPECT_EQ(ptr->scrollY, -130);
    EXPECT_EQ((*ptr->y)[0], 0);
    EXPECT_FALSE((*ptr->justReleased)[0]);

    event(1, 5, 5);
    event(3, 6, 6);
    ptr->update();
    EXPECT_TRUE((*ptr->justPressed)[0]);
    EXPECT_EQ((*ptr->x)[0], 6);
}

TEST_F(MyPointerTest, RowsAnswerInsideTheirBoxesWhileDownAndInTheReleaseFrame) {
    VMPtr<MyPointer> ptr = p();
    VMPtr<VMArray<jint, 2>> rows = VMArray<jint, 2>::create(2, 5);
    (*rows->get(0))[0] = 10, (*rows->get(0))[1] = 10, (*rows->get(0))[2] = 50, (*rows->get(0))[3] = 20;
    (*rows->get(1))[0] = 10, (*rows->get(1))[1] = 30, (*rows->get(1))[2] = 50, (*rows->get(1))[3] = 20;
    ptr->setTouchBoxes(99, rows, ints({0, 0, 100, 100}));
    struct Case {
        jint x, y, row;
    };
    for (const Case& c : {Case{10, 10, 0}, Case{59, 29, 0}, Case{60, 20, -1}, Case{30, 30, 1}, Case{30, 50, -1}}) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        event(1, c.x, c.y);
        ptr->update();
        EXPECT_EQ(ptr->getPressedBox(0), c.row);
        EXPECT_EQ(ptr->getReleasedBox(0), -1);
        event(3, c.x, c.y);
        ptr->update();
        EXPECT_EQ(ptr->getPressedBox(0), -1);
        EXPECT_EQ(ptr->getReleasedBox(0), c.row);
        ptr->update();
        EXPECT_EQ(ptr->getReleasedBox(0), -1);
    }
}

TEST_F(MyPointerTest, IsInRectTakesBothEdgesWhereATouchBoxEndsBeforeThem) {
    VMPtr<MyPointer> ptr = p();
    VMPtr<VMArray<jint, 2>> rows = VMArray<jint, 2>::create(1, 4);
    (*rows->get(0))[0] = 10, (*rows->get(0))[1] = 10, (*rows->get(0))[2] = 50, (*rows->get(0))[3] = 20;
    ptr->setTouchBoxes(0, rows, ints({10, 10, 50, 20}));
    struct Case {
        jint x, y;
        bool inRect;
        jint box;
    };
    for (const Case& c :
         {Case{10, 10, true, 0}, Case{59, 29, true, 0}, Case{60, 20, true, -1}, Case{30, 30, true, -1},
          Case{60, 30, true, -1}, Case{61, 30, false, -1}, Case{9, 10, false, -1}, Case{30, 31, false, -1}}) {
        event(1, c.x, c.y);
        ptr->update();
        EXPECT_EQ(ptr->isInRect(ints({10, 10, 50, 20}), 0), c.inRect) << c.x << "," << c.y;
        EXPECT_EQ(ptr->getBoxAt(0), c.box) << c.x << "," << c.y;
        event(3, c.x, c.y);
        ptr->update();
        ptr->update();
    }
}

TEST_F(MyPointerTest, KeyRegionsNeedASizeAndGoByKey) {
    VMPtr<MyPointer> ptr = p();
    ptr->addUpRegion(ints({0, 0, 0, 10, 0}));
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 0);
    ptr->addUpRegion(ints({0, 0, 10, 10, 0}));
    ptr->addUpRegion(ints({50, 0, 10, 10, 0}));
    ptr->addDownRegion(ints({0, 50, 10, 10, 0}));
    ptr->addLeftRegion(ints({0, 80, 10, 10, 0}));
    ptr->addRightRegion(ints({0, 90, 10, 10, 0}));
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(1), 2);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(6), 1);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(2), 1);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(5), 1);
    EXPECT_TRUE(ptr->keyRegions->get(0) == nullptr);  // the key manager keeps them
    ptr->removeUpRegions(ints({0, 0, 10, 0, 0}));
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(1), 2);
    ptr->removeUpRegions(ints({300, 300, 1, 1, 0}));  // the position does not matter
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(1), 0);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 3);
    ptr->reset();
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 0);
}

// The queue is read while the canvas's entries still add to it, so a frame
// can find more events than the queue holds at once; the test makes that so
// by hand. Slots are four ints: pointer id, type, x, y.
TEST_F(MyPointerTest, AtMostTwentyEventsAFrameAndOtherPointersIgnored) {
    VMPtr<MyPointer> ptr = p();
    event(1, 0, 0);
    for (jint i = 1; i < PointerInputEventManager::QUEUE_LENGTH; ++i) event(2, i, i);
    PointerInputEventManager::count += 5;  // five more: slots 0 to 4 once again
    ptr->update();
    EXPECT_EQ((*ptr->x)[0], 19);
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 5);
    while (PointerInputEventManager::nextEvent()) {}

    // A move of pointer 1 between two of pointer 0 leaves no trace.
    event(2, 30, 31);
    event(2, 40, 41);
    event(2, 50, 51);
    VMPtr<VMInts> queue = PointerInputEventManager::queue;
    (*queue)[((PointerInputEventManager::first + 1) % PointerInputEventManager::QUEUE_LENGTH) * 4] = 1;
    ptr->update();
    EXPECT_EQ((std::vector<jint>{(*ptr->prevX)[0], (*ptr->x)[0], (*ptr->y)[0]}), (std::vector<jint>{30, 50, 51}));
}

TEST_F(MyPointerTest, ResetsForgetTheDragAndTheScrollBaseIsSet) {
    VMPtr<MyPointer> ptr = p();
    event(1, 0, 0);
    event(2, 19, 19);
    ptr->update();
    EXPECT_EQ((*ptr->x)[0], 19);
    ptr->resetY();
    EXPECT_EQ(ptr->getDragY(0), 0);
    ptr->setScrollY(7);
    EXPECT_EQ(ptr->scrollY, 7);
    ptr->resetX();
    EXPECT_EQ((*ptr->x)[0], 0);
}

// A long frame (a level's load) lets the queue fill up: moves give way, the
// lifted finger still arrives.
TEST_F(MyPointerTest, AFullQueueDropsMovesAndKeepsTheRelease) {
    VMPtr<MyPointer> ptr = p();
    event(1, 10, 10);
    for (jint i = 0; i < 40; ++i) event(2, 11 + i, 10);
    event(3, 50, 60);
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 20);
    ptr->update();
    EXPECT_FALSE((*ptr->isDown)[0]);
    EXPECT_TRUE((*ptr->isUp)[0]);
    EXPECT_TRUE((*ptr->justReleased)[0]);
    EXPECT_EQ((std::vector<jint>{ptr->getPressX(0), ptr->getX(0), ptr->getY(0)}), (std::vector<jint>{10, 50, 60}));
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 0);

    // What the full queue keeps, oldest first: each event's letter and x
    // (its number in the burst).
    auto queued = [](const std::string& burst) {
        jint n = 0;
        for (char c : burst) event(c == 'P' ? 1 : c == 'R' ? 3 : 2, n++, 0);
        std::string kept;
        while (PointerInputEventManager::nextEvent()) {
            const jint t = PointerInputEventManager::getType();
            kept += std::string(t == 1 ? "P" : t == 3 ? "R" : "D") + std::to_string(PointerInputEventManager::getX());
        }
        return kept;
    };
    auto numbered = [](const std::string& letters, jint from) {
        std::string s;
        for (char c : letters) s += std::string(1, c) + std::to_string(from++);
        return s;
    };
    const std::string taps = "PRPRPRPRPRPRPRPRPRPR";
    const std::string d19(19, 'D');
    struct Case {
        const char* what;
        std::string burst, kept;
    };
    const Case cases[] = {
        {"a move after moves takes the last one's place", std::string(25, 'D'), numbered(d19, 0) + "D24"},
        {"a release pushes out the oldest move", "P" + d19 + "R", "P0" + numbered(std::string(18, 'D'), 2) + "R20"},
        {"a press pushes out the oldest move", "P" + d19 + "RP", "P0" + numbered(std::string(17, 'D'), 3) + "R20P21"},
        {"a move after only taps is dropped", taps + "D", numbered(taps, 0)},
        {"a press after only taps drops the oldest", taps + "P", numbered(taps.substr(1), 1) + "P20"},
        {"a release after only taps drops the oldest", taps + "R", numbered(taps.substr(1), 1) + "R20"},
        {"the newest release stays the oldest event", "R" + std::string(19, 'P') + "P",
         "R0" + numbered(std::string(18, 'P'), 2) + "P20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(queued(c.burst), c.kept);
    }
}

}  // namespace
