// Traps on hand-made level tables: who is caught and who passes, a frozen
// trap that still catches, the start time, and the rail runner's swing.
#include "ingame_test_support.h"
#include "scene_ingame_InGameTrap.h"

namespace {

using com::ventrix::utility::MyObject;
using ingametest::InGameObject;
using ingametest::InGamePlayer;
using scene::ingame::InGameTrap;

class TrapTest : public ingametest::InGameTest {
protected:
    void SetUp() override {
        ingametest::InGameTest::SetUp();
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        sam::SamGameSave::currentLevel = 0;
        using namespace spritetest;
        // Every type: frame 0 a 128-wide still part; frame 1 the hitting
        // part with box 0 (-10, -60, 20, 60). The runner's (type 5)
        // animation 0 moves 8 a step to the right, 1 to the left.
        FrameSpec still{{{0, -64, -8}, {0, 56, -8}}, {}};
        FrameSpec hitting{{{0, -4, -8}}, {{-10, -60, 20, 60, 0}}};
        VMPtr<ts::AnimSet> set;
        for (jint type = 0; type < InGameTrap::TYPES; ++type) {
            jint image = 0, second = 0;
            ASSERT_TRUE(InGameTrap::resources(type, image, second));
            if (type == 1) continue;  // shares type 0's pair
            const int dx = type == 5 ? 8 : 0;
            ingametest::putInCache(
                image, second, setOf(animSetBytes({still, hitting}, {{-1, {{1, 40, dx, 0}}}, {-1, {{1, 40, -dx, 0}}}})));
        }
        VMPtr<InGamePlayer> p = InGamePlayer::create()->construct();
        InGameObject::player = p;
        player = p;
    }
    VMPtr<InGameTrap> trap(jint type, jint x, jint y, jint start = 0) {
        VMPtr<VMIntRows> records = VMIntRows::create(1, 5);
        const jint values[5] = {type, x, y, start, 0};
        for (jint k = 0; k < 5; ++k) (*records->get(0))[k] = values[k];
        InGameObject::levelLoader->trapRecords = records;
        VMPtr<InGameTrap> t = InGameTrap::create()->construct();
        t->setUp(0);
        MyObject::frameTime = 40;
        return t;
    }
    void spawn(jint x, jint y) {
        player->respawn(0, x, y);
        player->endInteraction();
        player->setExposed(true);
        player->updateDepth();
    }

    VMPtr<InGamePlayer> player;
};

TEST_F(TrapTest, OnlyAnExposedIdlePlayerOnTheTrapsRowIsCaught) {
    struct Case {
        const char* what;
        jint type;
        jint playerY;  // the trap stands at (200, 630), row 0
        bool busy, hidden, caught;
    };
    const std::vector<Case> cases = {
        {"on the trap", 0, 630, false, false, true},
        {"mirrored on the trap", 1, 630, false, false, true},
        {"vent, on the jet", 4, 630, false, false, true},
        {"row 1, boxes overlapping", 0, 575, false, false, false},
        {"busy", 0, 630, true, false, false},
        {"hidden", 0, 630, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VMPtr<InGameTrap> t = trap(c.type, 200, 630);
        spawn(200, c.playerY);
        if (c.busy) player->beginInteraction(5, 9);
        if (c.hidden) player->setExposed(false);
        t->update(0, 0);
        EXPECT_EQ(player->getState(), c.caught ? InGamePlayer::CAUGHT : InGamePlayer::STANDING);
        EXPECT_EQ(t->isOnPlayerRow(), c.playerY == 630);
        EXPECT_EQ(t->getLayer(), 55);
        EXPECT_EQ(t->getTransform(0), c.type == 1 ? 2 : 0);
    }

    // Caught already: not caught again (the phase runs on).
    VMPtr<InGameTrap> t = trap(3, 200, 630);
    spawn(200, 630);
    player->setState(InGamePlayer::CAUGHT);
    player->setPhase(2);
    t->update(0, 0);
    EXPECT_TRUE(player->isCaughtSettled());

    // A type outside the table has no slot and catches nobody.
    VMPtr<InGameTrap> none = trap(7, 200, 630);
    spawn(200, 630);
    none->update(0, 0);
    EXPECT_EQ(none->getSlotCount(), 0);
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
}

TEST_F(TrapTest, AFrozenTrapStandsStillButRecomputesItsRowAndCatches) {
    VMPtr<InGameTrap> t = trap(0, 200, 630);
    spawn(200, 630 - 64);  // row 1
    t->update(0, 0);
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    InGameObject::frozen = true;
    const jint x = t->getSlotX(0);
    t->setSlotPosition(0, x, 630 - 64);  // moved to the player's row
    t->update(0, 0);
    EXPECT_EQ(t->getSlotX(0), x);  // no animation step
    EXPECT_EQ(t->getDepth(), 1);
    EXPECT_EQ(player->getState(), InGamePlayer::CAUGHT);
}

TEST_F(TrapTest, StartTimeAndTheRunnersSwing) {
    // The start time runs the animations that far in at set-up.
    EXPECT_EQ(trap(5, 200, 630, 0)->getSlotX(1) + 8 * 3, trap(5, 200, 630, 120)->getSlotX(1));

    // The rail is 128 wide: the runner starts at its left end and turns at
    // each end.
    VMPtr<InGameTrap> t = trap(5, 400, 630);
    const jint w = t->getSlotWidth(0);
    EXPECT_EQ(w, 128);
    EXPECT_GE(t->getSlotX(1), 400 - 64);  // placed there, then one step at set-up
    EXPECT_LE(t->getSlotX(1), 400 - 64 + 8);
    EXPECT_EQ(t->getSlotKind(0), com::ventrix::ui::Screen::KIND_FRAME);
    jint right = 0, left = 100000;
    bool turnedBack = false;
    for (int i = 0; i < 80; ++i) {
        const jint before = t->getSlotIndex(1);
        t->update(0, 0);
        right = std::max(right, t->getSlotX(1));
        left = std::min(left, t->getSlotX(1));
        turnedBack = turnedBack || (before == 1 && t->getSlotIndex(1) == 0);
    }
    EXPECT_TRUE(turnedBack);
    EXPECT_GE(right, 400 + 64);
    EXPECT_LE(right, 400 + 64 + 8);
    EXPECT_LE(left, 400 - 64);
    EXPECT_GE(left, 400 - 64 - 8);
}

}  // namespace
