// Traps on hand-made level tables: who is caught and who passes, a frozen
// trap that still catches, the start time and the rail runner's swing.
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
        sam::SamGameSave::currentLevel = 0;
        // Frame 0 a still part 128 wide; frame 1 the hitting part, box 0
        // (-10, -60, 20, 60). Type 5's runner moves 8 a step right in
        // animation 0, left in 1.
        using namespace spritetest;
        for (jint type : {0, 2, 3, 4, 5}) {
            jint image = 0, set = 0;
            InGameTrap::resources(type, image, set);
            const int dx = type == 5 ? 8 : 0;
            ingametest::putInCache(
                image, set,
                setOf(animSetBytes({{{{0, -64, -8}, {0, 56, -8}}, {}}, {{{0, -4, -8}}, {{-10, -60, 20, 60, 0}}}},
                                   {{-1, {{1, 40, dx, 0}}}, {-1, {{1, 40, -dx, 0}}}})));
        }
        player = InGamePlayer::create()->construct();
        InGameObject::player = player;
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
        jint type, playerY;  // the trap stands at (200, 630), row 0
        bool busy, hidden, caught;
    } cases[] = {{0, 630, false, false, true},  {1, 630, false, false, true}, {4, 630, false, false, true},
                 {0, 575, false, false, false},  // row 1, the boxes overlapping
                 {0, 630, true, false, false},  {0, 630, false, true, false}, {7, 630, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.playerY << " " << c.busy << " " << c.hidden);
        VMPtr<InGameTrap> t = trap(c.type, 200, 630);
        spawn(200, c.playerY);
        if (c.busy) player->beginInteraction(5, 9);
        if (c.hidden) player->setExposed(false);
        t->update(0, 0);
        EXPECT_EQ(player->getState(), c.caught ? InGamePlayer::CAUGHT : InGamePlayer::STANDING);
        EXPECT_EQ(t->getLayer(), 55);
        EXPECT_EQ(t->getTransform(0), c.type == 1 ? 2 : c.type == 7 ? -1 : 0);  // 7: no slot
    }
    // Caught already: not caught again (the phase runs on).
    VMPtr<InGameTrap> t = trap(3, 200, 630);
    player->setState(InGamePlayer::CAUGHT);
    player->setPhase(InGamePlayer::CAUGHT_SETTLED);
    t->update(0, 0);
    EXPECT_TRUE(player->isCaughtSettled());
}

TEST_F(TrapTest, AFrozenTrapStandsStillButRecomputesItsRowAndCatches) {
    VMPtr<InGameTrap> t = trap(5, 200, 630);
    spawn(t->getSlotX(1), 630 - 64);  // row 1
    t->update(0, 0);
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    InGameObject::frozen = true;
    const jint x = t->getSlotX(1);
    t->setSlotPosition(0, 200, 630 - 64);  // the anchor moved to the player's row
    t->setSlotPosition(1, x, 630 - 64);
    t->update(0, 0);
    EXPECT_EQ(t->getSlotX(1), x);  // no animation step
    EXPECT_EQ(t->getDepth(), 1);
    EXPECT_EQ(player->getState(), InGamePlayer::CAUGHT);
}

TEST_F(TrapTest, StartTimeAndTheRunnersSwing) {
    EXPECT_EQ(trap(5, 200, 630, 0)->getSlotX(1) + 8 * 3, trap(5, 200, 630, 120)->getSlotX(1));
    // The runner starts at the rail's left end and turns at each end.
    VMPtr<InGameTrap> t = trap(5, 400, 630);
    EXPECT_EQ(t->getSlotWidth(0), 128);
    jint right = 0, left = 1000, turns = 0;
    for (int i = 0; i < 80; ++i) {
        const jint before = t->getSlotIndex(1);
        t->update(0, 0);
        right = std::max(right, t->getSlotX(1));
        left = std::min(left, t->getSlotX(1));
        turns += before != t->getSlotIndex(1);
    }
    EXPECT_GE(turns, 2);
    EXPECT_EQ((std::vector<jint>{left, right}), (std::vector<jint>{400 - 64, 400 + 64}));
}

}  // namespace
