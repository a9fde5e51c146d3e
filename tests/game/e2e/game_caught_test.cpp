// Being caught in the stepped game, played through the window stand-in: the
// caught panel waits for a press that begins while it is shown, the restart
// at the checkpoint puts the targets back as that checkpoint saw them,
// and a catch that meets a step into a lift ends in the catch or the ride.
#include <cstdlib>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "ce_window.h"
#include "game_run.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameTargetItem.h"

using playharness::Harness;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::InGameScene;
using scene::ingame::InGameTargetItem;

namespace {

class CaughtRunTest : public gamerun::GameRun {
protected:
    // The tutorial loaded and its solution played up to `offset` steps past
    // the one that reaches its ninth suitcase (counted from there, so that
    // a lesson added before them does not move them); that step's index.
    size_t tutorialPastNinthSuitcase(const nlohmann::json& solution, size_t offset) {
        size_t ninth = 0;
        while (ninth < solution.size() && !(solution[ninth].contains("hold") &&
                                            solution[ninth].value("until", nlohmann::json::object()).value("targets", 0) == 9))
            ++ninth;
        EXPECT_LT(ninth + offset, solution.size()) << "no step reaches the ninth suitcase";
        EXPECT_TRUE(startLevel(global::GameScene::TUTORIAL, 0) && playSteps(solution, 0, ninth + offset));
        return ninth;
    }
    // Waits for trap `trap` to light, then holds `key` until the caught panel.
    bool walkIntoLitTrap(size_t trap, const std::function<void()>& down, const std::function<void()>& up) {
        watchTraps();
        if (!harness.stepUntil([&] { watchTraps(); return trapsSeen.size() > trap && trapsSeen[trap].lit; }, 300)) return false;
        down();
        const bool caught = harness.stepUntil([] { return Harness::inGameState() == InGameScene::CAUGHT; }, 300);
        up();
        return caught;
    }
};

// A finger on the pad that walked the agent into the camera's light leaves
// the caught panel up however long it stays and when it is lifted; only a
// touch that begins on the shown panel restarts at the checkpoint.
TEST_F(CaughtRunTest, AFingerAlreadyOnThePadDoesNotDismissTheCaughtPanel) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    const nlohmann::json solution = solutionOf("tutorial");
    // On to the camera's left on the top floor, the last checkpoint behind.
    tutorialPastNinthSuitcase(solution, 3);
    ASSERT_FALSE(HasFailure());
    const std::pair<int, int> right = padButton(padCode("right"));
    // The finger stays down from the walk until long past the panel's opening.
    ASSERT_TRUE(walkIntoLitTrap(1, [&] { harness.touchDown(right.first, right.second); }, [] {}));
    ASSERT_TRUE(harness.step(150));
    EXPECT_EQ(Harness::inGameState(), InGameScene::CAUGHT);
    harness.touchUp(right.first, right.second);
    ASSERT_TRUE(harness.step(5));
    EXPECT_EQ(Harness::inGameState(), InGameScene::CAUGHT) << "lifting the finger is no press";
    harness.tap(240, 320);
    ASSERT_TRUE(harness.stepUntil([] { return Harness::inGameState() == InGameScene::PLAYING; }, 10));
}

// Caught by the laser, on the way back, after two suitcases reached past
// the last checkpoint: back there, both are open again and the count, the
// next story and the outfit are the checkpoint's; from there both are
// reached again, with their stories, and through the laser and past the
// camera the last suitcase shows the closing story and ends the training.
TEST_F(CaughtRunTest, TargetsReachedAfterTheCheckpointAreOpenAgainAfterACatch) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    const nlohmann::json solution = solutionOf("tutorial");
    // The checkpoint before the eighth suitcase, that one and the ninth
    // behind the laser.
    tutorialPastNinthSuitcase(solution, 2);
    ASSERT_FALSE(HasFailure());
    const jint savedAt = inGame()->checkpoint;
    ASSERT_GE(savedAt, 0);
    ASSERT_EQ(InGameObject::reachedTargets, 9);
    std::vector<InGameTargetItem*> suitcases;
    for (const jint i : {7, 8}) suitcases.push_back(dynamic_cast<InGameTargetItem*>(InGameObject::targetItems->get(i)));
    for (InGameTargetItem* t : suitcases) {
        ASSERT_NE(t, nullptr);
        ASSERT_TRUE(t->isDone());
    }
    // Back left into the laser's light.
    ASSERT_TRUE(playStep(nlohmann::json::parse(R"({"hold": "left", "until": {"xAtMost": 1072}})")));
    ASSERT_TRUE(walkIntoLitTrap(0, [&] { harness.keyDown(ce::VK_LEFT); }, [&] { harness.keyUp(ce::VK_LEFT); }))
        << "at " << InGameObject::playerX;
    ASSERT_TRUE(confirmCaught());
    EXPECT_EQ(inGame()->checkpoint, savedAt);
    EXPECT_EQ(InGameObject::reachedTargets, 7);
    EXPECT_EQ(inGame()->currentTarget, 8);
    for (InGameTargetItem* t : suitcases) {
        EXPECT_FALSE(t->isDone());
        EXPECT_EQ(t->getSlotIndex(0), InGameTargetItem::ANIM_OPEN);
        EXPECT_NE(t->getSlotIndex(1), InGameTargetItem::MARK_DONE);
    }
    EXPECT_EQ(InGameObject::player->outfit, InGameObject::player->savedOutfit);
    // From the walk to the eighth suitcase on: the stories of the eighth,
    // the ninth and the last one are told in turn.
    size_t eighth = 0;
    while (eighth < solution.size() &&
           solution[eighth].value("until", nlohmann::json::object()).value("targets", 0) != 8)
        ++eighth;
    ASSERT_LT(eighth, solution.size());
    std::vector<jint> stories;
    const auto noteStory = [&] {
        InGameScene* s = inGame();
        if (s != nullptr && Harness::inGameState() == InGameScene::OBJECTIVE_STORY &&
            (stories.empty() || stories.back() != s->currentTarget))
            stories.push_back(s->currentTarget);
    };
    for (size_t i = eighth - 1; i < solution.size(); ++i)
        ASSERT_TRUE(GameRun::playStep(solution[i], noteStory)) << "step " << i + 1 << " at " << InGameObject::playerX;
    EXPECT_EQ(stories, (std::vector<jint>{8, 9, 10}));
    EXPECT_EQ(InGameObject::levelLoader->targetCount, 10);
    EXPECT_TRUE(closeStoriesUntil(global::GameScene::NEXT_BRIEFING)) << "the training did not end";
}

// A porter who has seen the agent, in its own clothes, closes in from
// several distances as the agent steps into the lift: either the catch comes
// first (the caught panel, then the checkpoint) or the ride does (up a
// floor and out); never an agent left in neither.
class LiftCatchTest : public CaughtRunTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(LiftCatchTest, EndsInTheCatchOrTheRide) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    using scene::ingame::InGameDisguisedPeople;
    // How far behind the porter starts, and how many frames the agent
    // waits at the door before the action.
    const auto [distance, wait] = GetParam();
    ASSERT_TRUE(startLevel(global::GameScene::LEVEL, 0));
    const nlohmann::json solution = solutionOf("level0");
    // To the lift's door on the offices floor (the step before the one
    // that boards it).
    size_t board = 0;
    while (board < solution.size() &&
           solution[board].value("until", nlohmann::json::object()).value("state", -1) != InGamePlayer::HELD)
        ++board;
    ASSERT_LT(board, solution.size());
    ASSERT_TRUE(playSteps(solution, 0, board));
    InGamePlayer* p = InGameObject::player.get();
    const jint row = p->getDepth();
    // Its own clothes, and the floor's porter behind it, alarmed.
    p->loadAnimation(0, InGamePlayer::BODY_IMAGE, InGamePlayer::BODY_SET, 0, InGameObject::playerX,
                     InGameObject::playerY);
    InGameDisguisedPeople* porter = nullptr;
    for (jint i = 0; i < InGameObject::disguisedPeople->length; ++i) {
        auto* w = dynamic_cast<InGameDisguisedPeople*>(InGameObject::disguisedPeople->get(i));
        if (w != nullptr && w->getDepth() == row) porter = w;
    }
    ASSERT_NE(porter, nullptr);
    porter->setSlotPosition(0, InGameObject::playerX - distance, InGameObject::playerY);
    if (porter->getTransform(0) != 0) porter->mirrorSlot(0);
    porter->chasing = true;
    porter->setSlotIndex(0, InGameDisguisedPeople::ANIM_WALK);
    ASSERT_TRUE(harness.step(wait));
    pressKey(ce::VK_RETURN);
    ASSERT_TRUE(harness.stepUntil(
        [&] {
            return Harness::inGameState() == InGameScene::CAUGHT ||
                   (p->getState() == InGamePlayer::HELD && p->getPhase() == InGamePlayer::RIDE_BOARDED);
        },
        200))
        << "neither caught nor riding: state " << p->getState() << " phase " << p->getPhase();
    if (Harness::inGameState() == InGameScene::CAUGHT) {
        EXPECT_TRUE(confirmCaught());
        EXPECT_EQ(p->getState(), InGamePlayer::STANDING);
    } else {
        const jint y = InGameObject::playerY;
        pressKey(ce::VK_UP);
        ASSERT_TRUE(harness.stepUntil([&] { return InGameObject::playerY < y; }, 100)) << "the car did not move";
        ASSERT_TRUE(harness.step(60));
        pressKey(ce::VK_RETURN);
        EXPECT_TRUE(harness.stepUntil([&] { return p->getState() == InGamePlayer::STANDING; }, 200))
            << "never out of the lift: state " << p->getState() << " phase " << p->getPhase();
        EXPECT_LT(InGameObject::playerY, y);
    }
}

// Boarded first, caught first, and in between.
INSTANTIATE_TEST_SUITE_P(Distances, LiftCatchTest,
                         ::testing::Values(std::pair{20, 0}, std::pair{20, 8}, std::pair{20, 5}, std::pair{40, 6},
                                           std::pair{40, 12}, std::pair{60, 8}));

}  // namespace
