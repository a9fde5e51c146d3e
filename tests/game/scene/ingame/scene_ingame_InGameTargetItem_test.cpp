// Targets on hand-made level tables: which types complete by touch, by the
// button or only after others, the marker's middle third, and the restore.
#include "items_test_support.h"
#include "scene_ingame_InGameTargetItem.h"

namespace {

using itemtest::InGameObject;
using scene::ingame::InGameTargetItem;

class InGameTargetItemTest : public itemtest::ItemTest {
protected:
    void SetUp() override {
        itemtest::ItemTest::SetUp();
        for (jint type : {0, 1, 2, 3, 6})  // type 6's resources are type 7's
            itemtest::put(0x180B + type, 0x1800 + type, itemtest::loopSet(4, {-20, -40, 40, 40}));
        itemtest::put(0x3407, 0x3403, itemtest::loopSet(3, {0, 0, 1, 1}));
    }
    // Targets of these types at (x, 630), built as the level build and the
    // level's start do.
    void build(std::vector<std::pair<jint, jint>> typeAndX) {
        const jint n = jint(typeAndX.size());
        level->targetMarkers = VMIntRows::create(n, 3);
        InGameObject::targetItems = targets = InGameObject::Objects::create(n);
        InGameObject::reachedTargets = n;
        for (jint i = 0; i < n; ++i) {
            VMPtr<VMInts> r = level->targetMarkers->get(i);
            (*r)[0] = typeAndX[i].second, (*r)[1] = 630, (*r)[2] = typeAndX[i].first;
            targets->set(i, InGameTargetItem::create()->construct());
            target(i)->initFromRecord(i);
        }
    }
    InGameTargetItem* target(jint i) { return dynamic_cast<InGameTargetItem*>(targets->get(i)); }
    void frame(std::set<jint> pressed = {}) {
        press(std::move(pressed));
        for (jint i = 0; i < targets->length; ++i) target(i)->update(0, 0);
    }
    void restore() {
        InGameObject::reachedTargets = targets->length;
        for (jint i = 0; i < targets->length; ++i) target(i)->initFromRecord(i);
    }

    VMPtr<InGameObject::Objects> targets;
};

TEST_F(InGameTargetItemTest, EachTypeCompletesByItsOwnRule) {
    build({{2, 100}});  // the exit alone: touch completes it
    EXPECT_EQ(InGameObject::reachedTargets, 0);
    const jint outfit = player->outfit;
    standAt(105);
    frame();
    EXPECT_TRUE(target(0)->isDone());
    EXPECT_EQ(target(0)->getSlotIndex(0), 1);
    EXPECT_EQ(target(0)->getSlotIndex(1), 1);
    EXPECT_EQ(InGameObject::reachedTargets, 1);
    EXPECT_EQ(player->outfit, outfit + 1);

    build({{0, 100}, {1, 300}, {2, 500}});
    standAt(500);
    frame();  // the exit waits for the others
    EXPECT_FALSE(target(2)->isDone());
    standAt(100);
    frame({ingametest::kAction});  // the safe waits for the briefcase
    EXPECT_FALSE(target(0)->isDone());
    standAt(300, 630 - 64);
    frame();  // not on the player's row
    EXPECT_FALSE(target(1)->isDone());
    standAt(300);
    frame();
    EXPECT_TRUE(target(1)->isDone());
    standAt(100);
    frame();  // now only the button is missing
    EXPECT_FALSE(target(0)->isDone());
    EXPECT_TRUE(target(0)->isPlayerTouching());
    player->setEngaged(true);
    frame({ingametest::kAction});
    EXPECT_FALSE(target(0)->isDone());
    standAt(100);
    frame({ingametest::kAction});
    EXPECT_TRUE(target(0)->isDone());
    EXPECT_FALSE(target(2)->isDone());
    standAt(500);
    frame();
    EXPECT_TRUE(target(2)->isDone());
    EXPECT_EQ(InGameObject::reachedTargets, 3);
}

TEST_F(InGameTargetItemTest, TheMarkerShowsTheMiddleThirdOfTheView) {
    // View 480 x 640: the middle third is 160 < x < 320, 213 < y < 426.
    const jint cases[][3] = {{160, 300, 2}, {161, 300, 0}, {319, 300, 0}, {320, 300, 2}, {200, 213, 2},
                             {200, 214, 0}, {200, 425, 0}, {200, 426, 2}, {900, 300, 2}};
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    for (auto [x, y, marker] : cases) {
        SCOPED_TRACE(testing::Message() << x << ", " << y);
        build({{3, x}});
        target(0)->setSlotPosition(0, x, y);
        target(0)->paint(g);
        frame();
        EXPECT_EQ(target(0)->getSlotIndex(1), marker);
    }
}

TEST_F(InGameTargetItemTest, ARestoreKeepsWhatTheCheckpointSaw) {
    build({{7, 100}, {1, 300}});
    EXPECT_EQ(target(0)->getTransform(0), 2);  // type 7 is mirrored, its papers are not
    EXPECT_EQ(target(0)->getTransform(2), 0);
    standAt(100);
    frame({ingametest::kAction});
    EXPECT_EQ(target(0)->getSlotIndex(2), 3);
    for (jint i = 0; i < 2; ++i) target(i)->saveState();  // the checkpoint
    standAt(300);
    frame();
    EXPECT_EQ(InGameObject::reachedTargets, 2);

    restore();
    EXPECT_EQ(InGameObject::reachedTargets, 1);
    EXPECT_TRUE(target(0)->isDone());
    EXPECT_EQ(target(0)->getSlotIndex(1), 1);
    EXPECT_EQ(target(0)->getSlotIndex(2), 3);
    EXPECT_FALSE(target(1)->isDone());  // done after the checkpoint: open again
    EXPECT_EQ(target(1)->getSlotIndex(0), 0);
    EXPECT_EQ(target(1)->getSlotIndex(1), 0);

    for (jint i = 0; i < 2; ++i) target(i)->clearSavedState();  // a fresh start
    restore();
    EXPECT_EQ(InGameObject::reachedTargets, 0);
    EXPECT_EQ(target(0)->getSlotIndex(2), 2);
}

}  // namespace
