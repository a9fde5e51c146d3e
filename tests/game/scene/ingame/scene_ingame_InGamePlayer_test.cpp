// The player on hand-made level tables: walking by held keys, walls that
// stop it and push it back, climbing paths both ways with the height
// following the slope, the scripted sequences released by setPhase, the
// disguise timer, and respawning fresh and from a save.
#include <cstdlib>
#include <functional>

#include "ingame_test_support.h"

namespace {

using com::ventrix::utility::MyObject;
using ingametest::GamePad;
using ingametest::InGameObject;
using ingametest::InGamePlayer;
using ingametest::kDown, ingametest::kLeft, ingametest::kRight, ingametest::kUp;

class InGamePlayerTest : public ingametest::InGameTest {
protected:
    void SetUp() override {
        ingametest::InGameTest::SetUp();
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        sam::SamGameSave::currentLevel = 0;
    }

    VMPtr<InGamePlayer> spawn(jint x, jint y) {
        VMPtr<InGamePlayer> p = InGamePlayer::create()->construct();
        InGameObject::player = p;
        p->respawn(0, x, y);
        player = p;
        return p;
    }
    // One frame as the scene runs it: the pad, then the player.
    void frame() {
        MyObject::frameTime = 40;
        GamePad::getInstance()->update();
        player->update(0, 0);
    }
    void hold(std::set<jint> actions) { keys->held = std::move(actions); }
    // Frames until done() holds (checked after each), at most max; the
    // frames run.
    int runUntil(const std::function<bool()>& done, int max = 40) {
        for (int n = 1; n <= max; ++n) {
            frame();
            if (done()) return n;
        }
        ADD_FAILURE() << "not reached in " << max << " frames";
        return max;
    }
    jint x() { return player->getSlotX(0); }
    jint y() { return player->getSlotY(0); }
    jint anim() { return player->getSlotIndex(0); }
    static VMPtr<VMIntRows> points(std::vector<std::pair<jint, jint>> xy, jint empty = 0) {
        VMPtr<VMIntRows> p = VMIntRows::create(jint(xy.size()) + empty, 0);
        for (size_t i = 0; i < xy.size(); ++i) {
            VMPtr<VMInts> row = VMInts::create(6);
            (*row)[1] = jint(i);
            (*row)[3] = xy[i].first;
            (*row)[4] = xy[i].second;
            p->set(jint(i), row);
        }
        return p;
    }

    VMPtr<InGamePlayer> player;
};

TEST_F(InGamePlayerTest, HeldKeysWalkItAndWallsStopItAndPushItBack) {
    setWalls({{{200, 40}, {20, 40}}, {}});  // row 0: walls at 200..240 and 20..60
    spawn(100, 630);
    EXPECT_EQ(player->getDepth(), 0);

    hold({kRight});
    frame();
    EXPECT_EQ(player->getState(), InGamePlayer::WALKING);
    EXPECT_EQ(x(), 100);  // the probe step was undone
    bool walked = false;
    jint last = x();
    runUntil([&] {
        if (player->getState() == InGamePlayer::WALKING) {
            walked = walked || x() > last;
            EXPECT_GE(x(), last);
            last = x();
        }
        return player->getState() == InGamePlayer::STANDING;
    });
    EXPECT_TRUE(walked);
    EXPECT_EQ(player->getPhase(), InGamePlayer::STAND_BLOCKED);
    EXPECT_EQ(anim(), InGamePlayer::ANIM_STAND);
    // Pushed back out of the wall by its last step.
    const jint stopped = x();
    EXPECT_LE(stopped + 5, 200);
    EXPECT_GT(stopped + 5, 200 - 8);
    EXPECT_EQ(player->getTransform(0), 0);

    // Still pushing: each probe into the wall is undone; it stands.
    for (int i = 0; i < 5; ++i) {
        frame();
        EXPECT_EQ(x(), stopped);
        EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    }

    // Left turns it round and walks it away, up to the other wall.
    hold({kLeft});
    frame();
    EXPECT_EQ(player->getTransform(0), 2);
    EXPECT_EQ(player->getState(), InGamePlayer::WALKING);
    runUntil([&] { return player->getState() == InGamePlayer::STANDING; });
    EXPECT_GE(x() - 5, 60);
    EXPECT_LT(x() - 5, 60 + 8);

    // Nothing held: a walker stops.
    hold({kRight});
    runUntil([&] { return x() > stopped - 40; });
    hold({});
    frame();
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    EXPECT_EQ(player->getPhase(), 0);
}

TEST_F(InGamePlayerTest, RowsOutsideTheWallTableHaveNoWalls) {
    setWalls({{{200, 40}}});
    for (jint startY : {630 - 3 * 64, 720}) {  // depth 3 (past the table) and -1 (below the level)
        SCOPED_TRACE(startY);
        spawn(150, startY);
        hold({kRight});
        runUntil([&] { return x() > 260; }, 60);
        EXPECT_EQ(player->getState(), InGamePlayer::WALKING);
    }
    level->floorAreas = nullptr;  // no table at all
    spawn(150, 630);
    runUntil([&] { return x() > 260; }, 60);
}

TEST_F(InGamePlayerTest, APathIsClimbedBothWaysWithTheHeightOnTheSlope) {
    spawn(100, 630);
    // Up and to the right at 45 degrees. Between its points (animation 3)
    // the body keeps to the slope; it walks (animation 1) onto the end
    // point first.
    int between = 0;
    auto onSlope = [&] {
        if (anim() == 3 && x() >= 100 && x() <= 180) {
            ++between;
            EXPECT_LE(std::abs(y() - (630 - (x() - 100))), 2) << x() << ", " << y();
        }
    };
    player->beginInteraction(7, 0);
    player->setPath(points({{100, 630}, {140, 590}, {180, 550}}));
    player->startClimb(true);
    EXPECT_EQ(player->getState(), InGamePlayer::CLIMBING);
    EXPECT_EQ(player->getPhase(), InGamePlayer::CLIMB_STILL_FROM_FIRST);
    EXPECT_FALSE(player->isExposed());

    hold({kUp});
    runUntil([&] {
        onSlope();
        return player->pathIndex == 2;
    });
    // Let go half way: it waits on the path.
    hold({});
    frame();
    EXPECT_EQ(player->getPhase(), InGamePlayer::CLIMB_STILL_FROM_FIRST);
    EXPECT_EQ(anim(), 2);
    const jint hx = x(), hy = y();
    frame();
    frame();
    EXPECT_EQ(x(), hx);
    EXPECT_EQ(y(), hy);
    hold({kUp});
    runUntil([&] {
        onSlope();
        return player->getState() != InGamePlayer::CLIMBING;
    });
    EXPECT_EQ(y(), 550);
    EXPECT_GE(x(), 180);
    EXPECT_EQ(player->pathIndex, -1);
    EXPECT_EQ(player->pathIndexDown, -1);
    EXPECT_FALSE(player->isEngaged());
    EXPECT_EQ(player->getInteractionTarget(), -1);
    frame();
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);

    // Back down from the upper end.
    player->beginInteraction(7, 0);
    player->startClimb(false);
    EXPECT_EQ(player->getPhase(), InGamePlayer::CLIMB_STILL_FROM_LAST);
    EXPECT_EQ(player->pathIndex, 2);
    EXPECT_EQ(player->pathIndexDown, 3);
    hold({kDown});
    runUntil([&] {
        onSlope();
        return player->getState() != InGamePlayer::CLIMBING;
    });
    EXPECT_EQ(y(), 630);
    EXPECT_LE(x(), 100);
    EXPECT_EQ(player->getTransform(0), 2);  // it turned to face the way down
    EXPECT_GT(between, 30);
}

// The key let go in the very frame whose step lands on the last point: the
// climb is over there, and the arrows walk on instead of only turning it.
TEST_F(InGamePlayerTest, LetGoOnTheLastPointLeavesThePath) {
    bool landed = false;
    for (int attempt = 0; attempt < 8 && !landed; ++attempt) {
        spawn(100, 630);
        player->beginInteraction(7, 0);
        player->setPath(points({{100, 630}, {140, 590}, {180, 550}}));
        player->startClimb(true);
        hold({kUp});
        // Up to `attempt` frames' steps short of the last point, then let go.
        runUntil([&] { return player->pathIndex == 2 && 180 - x() <= 4 * (attempt + 1); }, 200);
        hold({});
        frame();
        landed = player->pathIndex == 3;
    }
    ASSERT_TRUE(landed) << "no frame's step landed on the last point after the key was let go";
    hold({kRight});
    const jint at = x();
    runUntil([&] { return player->getState() != InGamePlayer::CLIMBING && x() > at; }, 20);
    EXPECT_NE(player->getState(), InGamePlayer::CLIMBING);
    EXPECT_GT(x(), at);
    EXPECT_EQ(y(), 550);
}

// From either end: on past the middle point, then back the way it came,
// point by point, and off the path at the end it was entered at. The two
// indices stay one apart, toward that end, all the way.
TEST_F(InGamePlayerTest, BackAlongThePathToTheEndItWasEnteredAt) {
    const struct Case {
        bool fromStart;
        jint x, y;  // the end entered at
        jint on, back;
        jint passed;  // pathIndex once the middle point is behind
    } cases[] = {{true, 100, 630, kUp, kDown, 2}, {false, 180, 550, kDown, kUp, 0}};
    for (const Case& c : cases) {
        spawn(c.x, c.y);
        player->beginInteraction(7, 0);
        player->setPath(points({{100, 630}, {140, 590}, {180, 550}}));
        player->startClimb(c.fromStart);
        const jint apart = c.fromStart ? -1 : 1;
        bool moved = false;
        auto climbing = [&] {
            if (player->getState() != InGamePlayer::CLIMBING) return false;
            EXPECT_EQ(player->pathIndexDown - player->pathIndex, apart) << c.fromStart;
            moved = moved || anim() == 3;
            return true;
        };
        hold({c.on});
        runUntil([&] { return climbing() && player->pathIndex == c.passed; });
        moved = false;
        hold({c.back});
        runUntil([&] { return !climbing(); });
        EXPECT_TRUE(moved) << c.fromStart;
        EXPECT_EQ(y(), c.y) << c.fromStart;
        EXPECT_EQ(player->pathIndex, -1);
        EXPECT_EQ(player->pathIndexDown, -1);
    }
}

TEST_F(InGamePlayerTest, AOnePointPathEndsTheClimbAndABrokenChainEndsAtItsLastPoint) {
    spawn(100, 630);
    struct Case {
        const char* what;
        jint empty;
        bool fromStart;
        jint key;
        jint endY;
    };
    const Case cases[] = {
        {"one point, from its start, up", 0, true, kUp, 630},
        {"one point, from its end, up", 0, false, kUp, 630},
        {"one point, from its end, down", 0, false, kDown, 630},
        {"broken chain, from its end, down", 2, false, kDown, 630},
        {"broken chain, from its start, up", 2, true, kUp, 590},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        spawn(c.fromStart ? 100 : (c.empty ? 140 : 100), c.fromStart ? 630 : (c.empty ? 590 : 630));
        if (c.empty)
            player->setPath(points({{100, 630}, {140, 590}}, c.empty));
        else
            player->setPath(points({{100, 630}}));
        player->beginInteraction(3, 0);
        player->startClimb(c.fromStart);
        hold({c.key});
        bool left = false;
        runUntil([&] {
            left = left || player->getPhase() == InGamePlayer::CLIMB_OFF;
            return player->getState() != InGamePlayer::CLIMBING;
        });
        EXPECT_TRUE(left);
        EXPECT_EQ(y(), c.endY);
        EXPECT_FALSE(player->isEngaged());
    }
}

TEST_F(InGamePlayerTest, ABodyThatDidNotMoveKeepsItsHeightOnASlope) {
    spawn(100, 630);
    player->beginInteraction(3, 0);
    player->setPath(points({{100, 600}, {140, 560}}));  // the first point straight above
    player->startClimb(true);
    hold({kUp});
    frame();  // phase 0 -> 1
    ASSERT_EQ(player->getPhase(), InGamePlayer::CLIMB_ON_FROM_FIRST);
    frame();  // no step yet and the point at the body's x
    EXPECT_EQ(InGameObject::playerDX, 0);
    EXPECT_EQ(y(), 630);
    EXPECT_EQ(player->getState(), InGamePlayer::CLIMBING);
}

TEST_F(InGamePlayerTest, TheDisguiseRunsOutIntoStateThirteenAndBack) {
    spawn(100, 630);
    player->mirrorSlot(0);
    EXPECT_EQ(player->getDisguiseTimer(), 0);
    player->tickDisguise();  // 0 minus a frame is below 1
    EXPECT_EQ(player->getState(), InGamePlayer::DISGUISE_ENDING);
    EXPECT_EQ(player->getPhase(), InGamePlayer::STANDING);
    EXPECT_EQ(anim(), 17);
    player->tickDisguise();  // nothing while it wears off
    EXPECT_EQ(player->getDisguiseTimer(), 0);
    bool changedBack = false;
    runUntil([&] {
        changedBack = changedBack || anim() == 21;
        return player->getState() != InGamePlayer::DISGUISE_ENDING;
    });
    EXPECT_TRUE(changedBack);
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    EXPECT_EQ(player->getTransform(0), 2);  // still facing left
    EXPECT_EQ(x(), 100);

    player->disguiseTimer = 100;
    player->tickDisguise();
    EXPECT_EQ(player->getDisguiseTimer(), 60);
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    player->tickDisguise();
    player->tickDisguise();
    EXPECT_EQ(player->getState(), InGamePlayer::DISGUISE_ENDING);
}

TEST_F(InGamePlayerTest, ScriptedStatesAdvanceOnTheirAnimationsAndOnSetPhase) {
    spawn(300, 630);
    // One script: set up, then steps of "frames until" or "setPhase", each
    // followed by the expected state, phase and body animation.
    struct Step {
        jint setPhase;  // -1: run frames until the expectation holds
        jint state, phase, anim;
    };
    struct Script {
        const char* what;
        std::function<void()> start;
        std::vector<Step> steps;
    };
    const std::vector<Script> scripts = {
        {"use an item",
         [&] {
             player->beginInteraction(4, 5);
             player->setState(InGamePlayer::USING_ITEM);
         },
         {{-1, 9, 2, 9}, {3, 9, 5, 10}, {6, 9, 7, 11}, {-1, 0, 0, 0}}},
        {"put on a disguise", [&] { player->setState(InGamePlayer::DISGUISING); }, {{-1, 10, 3, 18}}},
        {"mount, ride and leave a passage",
         [&] {
             player->beginInteraction(9, 3);
             player->setPath(points({{300, 630}, {500, 400}}));
             player->startClimb(true);
         },
         {{-1, 4, 0, 0}, {1, 5, 2, 0}, {-1, 5, 2, 0}}},
        {"caught", [&] { player->setState(InGamePlayer::CAUGHT); }, {{-1, 11, 2, 25}}},
        {"held",
         [&] { player->setState(InGamePlayer::HELD); },
         {{-1, 6, 1, 0}, {3, 7, 0, 5}, {1, 7, 3, 7}, {4, 0, 0, 0}}},
    };
    for (const Script& s : scripts) {
        SCOPED_TRACE(s.what);
        s.start();
        for (const Step& step : s.steps) {
            SCOPED_TRACE(step.setPhase);
            if (step.setPhase >= 0) player->setPhase(step.setPhase);
            runUntil([&] {
                return player->getState() == step.state && player->getPhase() == step.phase && anim() == step.anim;
            });
            if (step.setPhase < 0) {  // a waiting phase stays
                frame();
                frame();
                EXPECT_EQ(player->getState(), step.state);
                EXPECT_EQ(player->getPhase(), step.phase);
            }
        }
        if (player->getState() == InGamePlayer::DISGUISING) {
            // The person whose outfit it takes reloads the body.
            player->loadAnimation(0, ingametest::kOtherLook, ingametest::kOtherSet, 21, x(), y());
            runUntil([&] { return player->getState() == InGamePlayer::STANDING; });
            EXPECT_EQ(player->getDisguiseTimer(), InGamePlayer::DISGUISE_TIME);
        }
        if (player->getState() == InGamePlayer::RIDING) {
            EXPECT_EQ(x(), 500);  // placed at the passage's far end
            EXPECT_EQ(y(), 400);
            player->setOrigin(400, 300);  // the camera has caught up
            runUntil([&] { return player->getState() == InGamePlayer::DISMOUNTING; });
            EXPECT_EQ(anim(), 5);
            player->setPhase(InGamePlayer::DISMOUNT_START);
            runUntil([&] { return player->getPhase() == InGamePlayer::DISMOUNT_OUT; });
            EXPECT_EQ(anim(), 7);
            player->setPhase(InGamePlayer::DISMOUNT_DONE);
            runUntil([&] { return player->getState() == InGamePlayer::STANDING; });
        }
        if (player->getState() == InGamePlayer::CAUGHT) {
            EXPECT_TRUE(player->isCaughtSettled());
            player->engaged = player->exposed = true;
            EXPECT_FALSE(player->isEngaged());
            EXPECT_FALSE(player->isExposed());
            player->setState(InGamePlayer::CHEERING);
            frame();
            EXPECT_EQ(anim(), InGamePlayer::ANIM_CHEER);
            EXPECT_EQ(player->getPhase(), InGamePlayer::CHEER_SHOWN);
            player->setState(InGamePlayer::STANDING);
            EXPECT_TRUE(player->isEngaged());
            player->endInteraction();
            player->exposed = false;
        }
        EXPECT_FALSE(player->isEngaged()) << s.what;
    }
}

TEST_F(InGamePlayerTest, HeldBodiesDoNotAnimateAndFastTransportsDoubleTheFrame) {
    spawn(100, 630);
    player->setState(InGamePlayer::HELD);
    player->setSlotIndex(0, InGamePlayer::ANIM_WALK);
    frame();
    frame();
    EXPECT_EQ(x(), 100);
    player->setState(InGamePlayer::STANDING);
    player->beginInteraction(2, 1);
    frame();
    EXPECT_EQ(MyObject::frameTime, 80);
    InGameObject::frozen = true;
    player->setSlotIndex(0, InGamePlayer::ANIM_WALK);
    frame();
    EXPECT_EQ(MyObject::frameTime, 40);
    EXPECT_EQ(x(), 100);
}

TEST_F(InGamePlayerTest, RespawnStartsAfreshOrReturnsToTheSave) {
    spawn(100, 630);
    EXPECT_EQ(player->getSlotCount(), 3);
    EXPECT_EQ(player->getLayer(), InGamePlayer::PLAYER_LAYER);
    EXPECT_EQ(player->getSlotKind(1), InGamePlayer::KIND_ANIMATION);
    EXPECT_EQ(player->getSlotKind(2), InGamePlayer::KIND_FRAME);
    EXPECT_EQ(player->getSlotIndex(1), 3);
    EXPECT_EQ(InGameObject::playerX, 100);
    EXPECT_EQ(InGameObject::playerY, 630);
    EXPECT_EQ(InGameObject::playerDX, 0);
    EXPECT_EQ(player->getSlotX(2), 100);

    // A fresh start: the outfit of the level.
    for (auto [levelNumber, outfit] : {std::pair{2, 20}, {-1, -1}, {10, 37}, {11, -1}}) {
        SCOPED_TRACE(levelNumber);
        sam::SamGameSave::currentLevel = levelNumber;
        player->progress = -1;
        player->disguiseTimer = 300;
        player->setState(InGamePlayer::CAUGHT);
        player->respawn(0, 50, 600);
        EXPECT_EQ(player->outfit, outfit);
        EXPECT_EQ(player->getProgress(), 0);
        EXPECT_EQ(player->getDisguiseTimer(), 0);
        EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
        EXPECT_EQ(InGameObject::playerX, 50);
        EXPECT_EQ(InGameObject::playerDX, 0);
        EXPECT_EQ(player->getSlotX(1), 50);
    }

    // From a save.
    sam::SamGameSave::currentLevel = 3;
    player->chooseOutfit();
    player->raiseProgress(4);
    player->saveState();
    player->raiseProgress(9);
    player->raiseProgress(2);
    EXPECT_EQ(player->getProgress(), 9);
    player->nextOutfit();
    EXPECT_EQ(player->outfit, 24);
    player->respawn(1, 60, 500);
    EXPECT_EQ(player->getProgress(), 4);
    // The outfit step of a target reached after the save goes with it.
    EXPECT_EQ(player->outfit, 23);
    EXPECT_EQ(anim(), 1);
    EXPECT_EQ(x(), 60);
    EXPECT_EQ(y(), 500);
    EXPECT_EQ(InGameObject::playerDX, 0);
    EXPECT_EQ(player->getDisguiseTimer(), 0);
    // Still in someone's outfit: the disguise starts over.
    player->loadAnimation(0, ingametest::kOtherLook, ingametest::kOtherSet, 0, 60, 500);
    player->respawn(0, 70, 500);
    EXPECT_EQ(player->getDisguiseTimer(), InGamePlayer::DISGUISE_TIME);
}

TEST_F(InGamePlayerTest, SetStateChangesOnlyADifferentStateAndStandingDrivesTheOverlays) {
    spawn(100, 630);
    player->phase = 3;
    player->setPendingOverlay(9);
    player->setSlotIndex(1, 0);
    player->setState(InGamePlayer::STANDING);
    EXPECT_EQ(player->getPhase(), 3);
    EXPECT_EQ(player->pendingOverlay, 9);
    EXPECT_EQ(player->getSlotIndex(1), 0);
    player->setState(InGamePlayer::WALKING);
    EXPECT_EQ(player->getPhase(), 0);
    EXPECT_EQ(player->pendingOverlay, -1);
    EXPECT_EQ(player->getSlotIndex(1), 3);
    EXPECT_EQ(player->getSlotIndex(2), 0);

    // Standing with the level's outfit: the overlays settle, then show a
    // pending overlay frame.
    player->setState(InGamePlayer::STANDING);
    player->outfit = 23;
    frame();
    EXPECT_EQ(player->getSlotIndex(1), 0);
    player->setPendingOverlayOffset(2);
    frame();
    EXPECT_EQ(player->getSlotIndex(1), 2);
    frame();
    EXPECT_EQ(player->getSlotIndex(2), 9);
    EXPECT_EQ(player->pendingOverlay, -1);
    frame();
    EXPECT_EQ(player->getSlotIndex(2), 9);
}

}  // namespace
