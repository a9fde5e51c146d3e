// Being caught in the stepped game, played through the window stand-in: the
// caught panel waits for a press that begins while it is shown, targets
// reached before the catch still count after the restart at the checkpoint,
// and a catch that meets a step into a lift ends in the catch or the ride.
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "ce_window.h"
#include "com_ventrix_utility_SceneManager.h"
#include "game_run.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameScene.h"

using com::ventrix::utility::SceneManager;
using playharness::Harness;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::InGameScene;

namespace {

class CaughtRunTest : public gamerun::GameRun {
protected:
    static InGameScene* level() {
        SceneManager* sm = SceneManager::instance.get();
        return sm == nullptr ? nullptr : dynamic_cast<InGameScene*>(sm->scene.get());
    }

    // The level `scene` (the tutorial, or level `number`), loaded.
    void startLevel(int scene, int number) {
        start({{1, {1, 0, 0, 0, uint8_t(std::max(number, 0)), 0}}});
        SceneManager::instance->changeScene(scene);
        ASSERT_TRUE(harness.step());
        ASSERT_TRUE(stepUntilLoaded());
    }

    // Plays the solution's steps [from, to) by the keyboard.
    void playSteps(const nlohmann::json& solution, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) ASSERT_TRUE(playStep(solution[i])) << "step " << i + 1;
    }

    // The index of the tutorial's step that walks on to its ninth suitcase;
    // the steps below are counted from it, so that a lesson added before
    // them does not move them.
    static size_t ninthSuitcaseStep(const nlohmann::json& solution) {
        for (size_t i = 0; i < solution.size(); ++i) {
            const nlohmann::json& until = solution[i].value("until", nlohmann::json::object());
            if (solution[i].contains("hold") && until.value("targets", 0) == 9) return i;
        }
        ADD_FAILURE() << "no step reaches the ninth suitcase";
        return solution.size();
    }
};

}  // namespace

namespace {

// A finger on the pad when the caught panel opens, whether it walked the
// agent into the camera or came down while the agent fell, leaves the panel
// up however long it stays and when it is lifted; only a touch that begins
// on the shown panel restarts at the checkpoint.
TEST_F(CaughtRunTest, AFingerAlreadyOnThePadDoesNotDismissTheCaughtPanel) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    ASSERT_NO_FATAL_FAILURE(startLevel(global::GameScene::TUTORIAL, -1));
    const nlohmann::json solution = solutionOf("tutorial");
    // Up to the camera on the top floor, the last checkpoint behind.
    const size_t cameraStep = ninthSuitcaseStep(solution) + 2;
    ASSERT_LT(cameraStep, solution.size());
    ASSERT_NO_FATAL_FAILURE(playSteps(solution, 0, cameraStep));
    const auto [lx, ly] = padButton(padCode("right"));
    // The frame after the catch at which the finger comes down; -1: it
    // walked the agent in.
    for (const int downAt : {-1}) {
        SCOPED_TRACE("finger down at " + std::to_string(downAt));
        // From the checkpoint to the camera's left, waiting for its light.
        ASSERT_TRUE(playStep(solution[cameraStep]));
        watchTraps();
        ASSERT_TRUE(harness.stepUntil([&] { watchTraps(); return trapsSeen.size() > 1 && trapsSeen[1].lit; }, 300));
        if (downAt < 0)
            harness.touchDown(lx, ly);
        else
            harness.keyDown(ce::VK_RIGHT);
        ASSERT_TRUE(harness.stepUntil([] { return InGameObject::player->getState() == InGamePlayer::CAUGHT; }, 300));
        if (downAt >= 0) {
            harness.keyUp(ce::VK_RIGHT);
            ASSERT_TRUE(harness.step(downAt));
            harness.touchDown(lx, ly);
        }
        // Long past the panel's opening, the finger still down.
        ASSERT_TRUE(harness.step(150));
        EXPECT_EQ(Harness::inGameState(), InGameScene::CAUGHT);
        harness.touchUp(lx, ly);
        ASSERT_TRUE(harness.step(5));
        EXPECT_EQ(Harness::inGameState(), InGameScene::CAUGHT) << "lifting the finger is no press";
        harness.tap(240, 320);
        ASSERT_TRUE(harness.stepUntil([] { return Harness::inGameState() == InGameScene::PLAYING; }, 10));
    }
}

// Caught by the laser, on the way back, after two suitcases reached past
// the last checkpoint: back there, both still count; through the laser and
// past the camera, the last suitcase shows the closing story and ends the
// training.
TEST_F(CaughtRunTest, TargetsReachedBeforeACatchStayReached) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    ASSERT_NO_FATAL_FAILURE(startLevel(global::GameScene::TUTORIAL, -1));
    const nlohmann::json solution = solutionOf("tutorial");
    // The checkpoint before the laser, then the suitcase before it and the
    // one behind it, and that one's story.
    const size_t ninth = ninthSuitcaseStep(solution);
    ASSERT_LT(ninth + 2, solution.size());
    ASSERT_NO_FATAL_FAILURE(playSteps(solution, 0, ninth + 2));
    const jint savedAt = level()->checkpoint;
    ASSERT_GE(savedAt, 0);
    const jint reached = InGameObject::reachedTargets;
    ASSERT_EQ(reached, 9);
    // Back left into the laser's light.
    ASSERT_TRUE(playStep(nlohmann::json::parse(R"({"hold": "left", "until": {"xAtMost": 1072}})")));
    watchTraps();
    ASSERT_TRUE(harness.stepUntil([&] { watchTraps(); return !trapsSeen.empty() && trapsSeen[0].lit; }, 300));
    harness.keyDown(ce::VK_LEFT);
    const bool caught = harness.stepUntil([] { return Harness::inGameState() == InGameScene::CAUGHT; }, 300);
    harness.keyUp(ce::VK_LEFT);
    ASSERT_TRUE(caught) << "at " << InGameObject::playerX << " state " << InGameObject::player->getState() << " scene " << Harness::inGameState();
    for (int n = 0; n < 200 && Harness::inGameState() == InGameScene::CAUGHT; ++n) pressKey(ce::VK_RETURN);
    ASSERT_EQ(Harness::inGameState(), InGameScene::PLAYING);
    EXPECT_EQ(level()->checkpoint, savedAt);
    EXPECT_EQ(InGameObject::reachedTargets, reached);
    EXPECT_EQ(level()->currentTarget, reached + 1);
    // To the laser again, through it and on past the camera to the last
    // suitcase: its story is the last one.
    const size_t toLaser = ninth - 2;
    ASSERT_EQ(solution[toLaser].value("hold", ""), "right");
    jint storyFor = -1;
    for (size_t i = toLaser; i < solution.size(); ++i) {
        ASSERT_TRUE(GameRun::playStep(solution[i], [&] {
            if (level() != nullptr && Harness::inGameState() == InGameScene::OBJECTIVE_STORY)
                storyFor = level()->currentTarget;
        })) << "step " << i + 1;
    }
    EXPECT_EQ(storyFor, InGameObject::levelLoader->targetCount);
    for (int n = 0; n < 400 && Harness::sceneId() != global::GameScene::NEXT_BRIEFING; ++n) {
        if (Harness::inGameState() == InGameScene::OBJECTIVE_STORY && n % 2 == 0) {
            pressKey(ce::VK_RETURN);
        } else {
            ASSERT_TRUE(harness.step());
        }
    }
    EXPECT_EQ(Harness::sceneId(), global::GameScene::NEXT_BRIEFING) << "the training did not end";
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
    {
        ASSERT_NO_FATAL_FAILURE(startLevel(global::GameScene::LEVEL, 0));
        const nlohmann::json solution = solutionOf("level0");
        // To the lift's door on the offices floor (the step before the one
        // that boards it).
        size_t board = 0;
        while (board < solution.size() &&
               solution[board].value("until", nlohmann::json::object()).value("state", -1) != InGamePlayer::HELD)
            ++board;
        ASSERT_LT(board, solution.size());
        ASSERT_NO_FATAL_FAILURE(playSteps(solution, 0, board));
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
            for (int n = 0; n < 200 && Harness::inGameState() == InGameScene::CAUGHT; ++n) pressKey(ce::VK_RETURN);
            EXPECT_EQ(Harness::inGameState(), InGameScene::PLAYING);
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
}

// Boarded first, caught first, and in between.
INSTANTIATE_TEST_SUITE_P(Distances, LiftCatchTest,
                         ::testing::Values(std::pair{20, 0}, std::pair{20, 8}, std::pair{20, 5}, std::pair{40, 6},
                                           std::pair{40, 12}, std::pair{60, 8}));

}  // namespace
