// Targets on hand-made level tables: which types complete by touch, by the
// action button or only after others, the marker's middle third, the count
// of done targets and the restore from a checkpoint.
#include "items_test_support.h"
#include "scene_ingame_InGameTargetItem.h"

namespace {

using itemtest::InGameObject;
using scene::ingame::InGameTargetItem;

constexpr jint kAction = ingametest::kAction;

class InGameTargetItemTest : public itemtest::ItemTest {
protected:
    void SetUp() override {
        itemtest::ItemTest::SetUp();
        const itemtest::Box body{-20, -40, 40, 40};
        for (auto [image, set] : std::vector<std::pair<jint, jint>>{
                 {0x180B, 0x1800}, {0x180C, 0x1801}, {0x180D, 0x1802}, {0x180E, 0x1803}, {0x180F, 0x1804}, {0x1811, 0x1806}, {0x1813, 0x1808},
                 {0x1814, 0x1809}})
            itemtest::put(image, set, itemtest::loopSet(4, body));
        itemtest::put(InGameTargetItem::MARKER_IMAGE, InGameTargetItem::MARKER_SET, itemtest::loopSet(3, body));
    }

    // Targets of these types at (x, 630) for the x given, built as the level
    // build and the scene's start do.
    void build(std::vector<std::pair<jint, jint>> typeAndX) {
        VMPtr<VMIntRows> rows = VMIntRows::create(jint(typeAndX.size()), 3);
        targets = InGameObject::Objects::create(jint(typeAndX.size()));
        for (size_t i = 0; i < typeAndX.size(); ++i) {
            VMPtr<VMInts> r = rows->get(jint(i));
            (*r)[0] = typeAndX[i].second;
            (*r)[1] = 630;
            (*r)[2] = typeAndX[i].first;
        }
        level->targetMarkers = rows;
        InGameObject::targetItems = targets;
        InGameObject::reachedTargets = jint(typeAndX.size());
        for (size_t i = 0; i < typeAndX.size(); ++i) {
            VMPtr<InGameTargetItem> t = InGameTargetItem::create()->construct();
            t->initFromRecord(jint(i));
            targets->set(jint(i), t);
        }
    }
    InGameTargetItem* target(jint i) { return dynamic_cast<InGameTargetItem*>(targets->get(i)); }
    void frame() {
        for (jint i = 0; i < targets->length; ++i) target(i)->update(0, 0);
    }
    // Restart from the checkpoint: the count reset, every target restored.
    void restore() {
        InGameObject::reachedTargets = targets->length;
        for (jint i = 0; i < targets->length; ++i) target(i)->initFromRecord(i);
    }

    VMPtr<InGameObject::Objects> targets;
};

TEST_F(InGameTargetItemTest, TypeTwoWaitsForTheOthersAndNeedsNoButton) {
    build({{2, 100}});
    EXPECT_EQ(InGameObject::reachedTargets, 0);
    EXPECT_EQ(target(0)->getLayer(), 56);
    standAt(300, 630);
    frame();
    EXPECT_FALSE(target(0)->isDone());  // not touching
    standAt(105, 630);
    const jint outfit = player->outfit;
    EXPECT_TRUE(target(0)->isPlayerTouching());
    frame();
    EXPECT_TRUE(target(0)->isDone());
    EXPECT_EQ(target(0)->getSlotIndex(0), 1);
    EXPECT_EQ(target(0)->getSlotIndex(1), 1);
    EXPECT_EQ(InGameObject::reachedTargets, 1);
    EXPECT_FALSE(target(0)->isPlayerTouching());
    EXPECT_EQ(player->outfit, outfit + 1);  // the level's outfit moved on

    // With another open target (not type 2) the exit waits for it.
    build({{4, 300}, {2, 100}});
    standAt(100, 630);
    frame();
    EXPECT_FALSE(target(1)->isDone());
    standAt(300, 630);
    press({kAction});
    frame();
    EXPECT_TRUE(target(0)->isDone());
    standAt(100, 630);
    press({});
    frame();
    EXPECT_TRUE(target(1)->isDone());
    EXPECT_EQ(InGameObject::reachedTargets, 2);
}

TEST_F(InGameTargetItemTest, ALaterTypeWaitsForItsPartnerAndTheButton) {
    struct Case {
        jint later, partner;
    };
    for (Case c : {Case{0, 1}, Case{10, 9}}) {
        SCOPED_TRACE(c.later);
        build({{c.later, 100}, {c.partner, 300}});
        standAt(100, 630);
        press({kAction});
        frame();
        EXPECT_FALSE(target(0)->isDone());  // the partner is open
        standAt(300, 630);
        press(c.partner == 1 ? std::set<jint>{} : std::set<jint>{kAction});  // a briefcase needs no button
        frame();
        EXPECT_TRUE(target(1)->isDone());
        standAt(100, 630);
        press({});
        frame();
        EXPECT_FALSE(target(0)->isDone());  // no button
        // Neither off the player's row, nor for an engaged or hidden player.
        standAt(100, 630 - 64);
        press({kAction});
        frame();
        EXPECT_FALSE(target(0)->isDone());
        standAt(100, 630);
        player->setEngaged(true);
        frame();
        player->setEngaged(false);
        player->setExposed(false);
        frame();
        EXPECT_FALSE(target(0)->isDone());
        player->setExposed(true);
        frame();
        EXPECT_TRUE(target(0)->isDone());
        EXPECT_EQ(InGameObject::reachedTargets, 2);
    }
    // In the tutorial the outfit stays.
    sam::SamGameSave::currentLevel = -1;
    build({{1, 100}});
    standAt(100, 630);
    const jint outfit = player->outfit;
    frame();
    EXPECT_TRUE(target(0)->isDone());
    EXPECT_EQ(player->outfit, outfit);
}

TEST_F(InGameTargetItemTest, TheMarkerShowsTheMiddleThird) {
    // View 480 x 640 at (0, 0): the middle third is 160 < x < 320 and
    // 213 < y < 426, all strict.
    struct Case {
        jint x, y, marker;
    };
    standAt(2000, 630);
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    for (Case c : {Case{160, 300, 2}, Case{161, 300, 0}, Case{319, 300, 0}, Case{320, 300, 2}, Case{200, 213, 2},
                   Case{200, 214, 0}, Case{200, 425, 0}, Case{200, 426, 2}, Case{900, 300, 2}}) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        build({{3, c.x}});
        target(0)->setSlotPosition(0, c.x, c.y);
        target(0)->paint(g);
        frame();
        EXPECT_EQ(target(0)->getSlotIndex(1), c.marker);
    }
}

TEST_F(InGameTargetItemTest, ARestoreKeepsWhatTheCheckpointSawAndTheDeskFollows) {
    build({{7, 100}, {1, 300}, {3, 500}});
    EXPECT_EQ(target(0)->getTransform(0), 2);  // type 7 is mirrored
    EXPECT_EQ(target(0)->getTransform(2), 0);  // its papers are not
    EXPECT_EQ(target(0)->getSlotIndex(2), 2);
    EXPECT_EQ(target(0)->getSavedState(), -1);
    restore();  // nothing saved yet: all open again
    EXPECT_EQ(InGameObject::reachedTargets, 0);

    standAt(100, 630);
    press({kAction});
    frame();
    EXPECT_TRUE(target(0)->isDone());
    EXPECT_EQ(target(0)->getSlotIndex(2), 3);
    for (jint i = 0; i < 3; ++i) target(i)->saveState();  // the checkpoint
    standAt(300, 630);
    frame();
    EXPECT_EQ(InGameObject::reachedTargets, 2);

    restore();
    EXPECT_EQ(InGameObject::reachedTargets, 1);
    EXPECT_TRUE(target(0)->isDone());
    EXPECT_EQ(target(0)->getSlotIndex(0), 1);
    EXPECT_EQ(target(0)->getSlotIndex(1), 1);
    EXPECT_EQ(target(0)->getSlotIndex(2), 3);
    EXPECT_FALSE(target(1)->isDone());  // done after the checkpoint: open again
    EXPECT_EQ(target(1)->getSlotIndex(0), 0);
    EXPECT_EQ(target(1)->getSlotIndex(1), 0);
    EXPECT_EQ(target(1)->recordIndex, 1);

    // A fresh start: the saved states cleared, everything open.
    for (jint i = 0; i < 3; ++i) target(i)->clearSavedState();
    restore();
    EXPECT_EQ(InGameObject::reachedTargets, 0);
    EXPECT_FALSE(target(0)->isDone());
    EXPECT_EQ(target(0)->getSlotIndex(2), 2);
}

}  // namespace
