// The on-screen pad in the stepped game: a finger held on an arrow moves the
// agent as far as the arrow's key held as long, walking, on stairs and in a
// lift; the action button opens a door; and the tutorial is played out by
// touches alone.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

#include "ce_window.h"
#include "com_ventrix_utility_SceneManager.h"
#include "game_run.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameScene.h"

using com::ventrix::utility::SceneManager;
using playharness::Harness;
using scene::ingame::InGameObject;
using scene::ingame::InGameScene;

namespace {

class PadRunTest : public gamerun::GameRun {
protected:
    // The tutorial, loaded and in play from its first frame.
    void startTutorial() {
        start();
        SceneManager::instance->changeScene(InGameScene::TUTORIAL_SCENE);
        ASSERT_TRUE(harness.step());
        ASSERT_TRUE(stepUntilLoaded());
    }

    struct Moved {
        int dx = 0, dy = 0;
        int x = 0, y = 0;  // where it ended
        int most = 0;      // the longest move of one frame
    };

    // Holds `key` (by its pad button or by the keyboard) for `frames`
    // frames, then lets go and steps until the agent has stood still for
    // five frames.
    Moved hold(const std::string& key, bool pad, int frames = 20) {
        static const std::map<std::string, unsigned> keys = {
            {"up", ce::VK_UP}, {"down", ce::VK_DOWN}, {"left", ce::VK_LEFT}, {"right", ce::VK_RIGHT}};
        const auto [bx, by] = padButton(padCode(key));
        EXPECT_GE(bx, 0) << key;
        const int x0 = InGameObject::playerX, y0 = InGameObject::playerY;
        Moved m;
        int px = x0, py = y0;
        auto track = [&] {
            m.most = std::max({m.most, std::abs(InGameObject::playerX - px), std::abs(InGameObject::playerY - py)});
            px = InGameObject::playerX;
            py = InGameObject::playerY;
        };
        if (pad) {
            harness.touchDown(bx, by);
        } else {
            harness.keyDown(keys.at(key));
        }
        for (int n = 0; n < frames; ++n) {
            EXPECT_TRUE(harness.step());
            track();
        }
        if (pad) {
            harness.touchUp(bx, by);
        } else {
            harness.keyUp(keys.at(key));
        }
        for (int still = 0, n = 0; still < 5 && n < 300; ++n) {
            EXPECT_TRUE(harness.step());
            still = InGameObject::playerX == px && InGameObject::playerY == py ? still + 1 : 0;
            track();
        }
        m.x = InGameObject::playerX;
        m.y = InGameObject::playerY;
        m.dx = InGameObject::playerX - x0;
        m.dy = InGameObject::playerY - y0;
        return m;
    }

    // The keys `there` and `back` held 20 frames each by the keyboard, then
    // the same by the pad (so that a lift of two floors goes up and down
    // twice): each move ends where the keyboard's ended, within one frame's
    // step. (Where they end, not how far they went: leaving stairs may put
    // the agent a step from where it came on.)
    void sameByPadAsByKeys(const char* where, const std::string& there, const std::string& back) {
        const Moved keys[2] = {hold(there, false), hold(back, false)};
        const Moved touches[2] = {hold(there, true), hold(back, true)};
        for (int k = 0; k < 2; ++k) {
            SCOPED_TRACE(std::string(where) + ", " + (k == 0 ? there : back));
            const int step = std::max({keys[k].most, touches[k].most, 1});
            EXPECT_NE(std::abs(keys[k].dx) + std::abs(keys[k].dy), 0);
            EXPECT_NE(std::abs(touches[k].dx) + std::abs(touches[k].dy), 0);
            EXPECT_LE(std::abs(touches[k].x - keys[k].x), step)
                << keys[k].x << " by key, " << touches[k].x << " by pad";
            EXPECT_LE(std::abs(touches[k].y - keys[k].y), step)
                << keys[k].y << " by key, " << touches[k].y << " by pad";
        }
    }

    // The index of the first step from `from` on for which `is` holds; the
    // solution's size when there is none.
    template <class Is>
    static size_t stepWhere(const nlohmann::json& solution, size_t from, Is is) {
        for (size_t i = from; i < solution.size(); ++i)
            if (is(solution[i])) return i;
        return solution.size();
    }

    // Plays the solution's steps [from, to) by the keyboard.
    void playSteps(const nlohmann::json& solution, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) ASSERT_TRUE(playStep(solution[i])) << "step " << i + 1;
    }
};

TEST_F(PadRunTest, AFingerHeldOnAnArrowMovesAsFarAsItsKey) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    ASSERT_NO_FATAL_FAILURE(startTutorial());
    const nlohmann::json solution = solutionOf("tutorial");
    // The places are found from the solution's own steps: the first climb
    // (up held until on the stairs, walking), the first step into the lift
    // (the action until held) and, after it, the first press of the action
    // button that is left to run for some frames (the door).
    using scene::ingame::InGamePlayer;
    auto until = [](const nlohmann::json& s) { return s.value("until", nlohmann::json::object()); };
    const size_t climb = stepWhere(solution, 0, [&](const nlohmann::json& s) {
        return s.value("hold", "") == "up" && until(s).value("state", -1) == InGamePlayer::WALKING;
    });
    const size_t lift = stepWhere(solution, climb, [&](const nlohmann::json& s) {
        return s.value("press", "") == "action" && until(s).value("state", -1) == InGamePlayer::HELD;
    });
    const size_t door = stepWhere(solution, lift + 1, [&](const nlohmann::json& s) {
        return s.value("press", "") == "action" && until(s).size() == 1 && until(s).contains("frames");
    });
    ASSERT_LT(door, solution.size()) << "the tutorial's solution has no stairs, lift and door in that order";
    // Step 1 closes the story: in play at the start.
    ASSERT_NO_FATAL_FAILURE(playSteps(solution, 0, 1));
    sameByPadAsByKeys("walking", "right", "left");
    // To the foot of the stairs.
    ASSERT_NO_FATAL_FAILURE(playSteps(solution, 1, climb));
    sameByPadAsByKeys("stairs", "up", "down");
    // Up the stairs and on to the lift, into it.
    ASSERT_NO_FATAL_FAILURE(playSteps(solution, climb, lift + 1));
    ASSERT_EQ(InGameObject::player->getState(), InGamePlayer::HELD);
    sameByPadAsByKeys("lift", "up", "down");

    // Up to the door; the action button opens it.
    ASSERT_NO_FATAL_FAILURE(playSteps(solution, lift + 1, door));
    auto opened = [] {
        InGameObject::Objects* items = InGameObject::interactionItems.get();
        int n = 0;
        for (jint i = 0; items != nullptr && i < items->length; ++i)
            if (items->get(i) != nullptr && items->get(i)->getSlotIndex(0) == 5) ++n;  // used, opening
        return n;
    };
    const int before = opened();
    const auto [ax, ay] = padButton(5);
    harness.touchDown(ax, ay);
    ASSERT_TRUE(harness.step());
    harness.touchUp(ax, ay);
    ASSERT_TRUE(harness.stepUntil([&] { return opened() > before; }, 25)) << "the door stayed shut";
}

// The tutorial, from its story to the scene after it, played by touches
// alone: the pad's arrows, its action button and taps on the story pages;
// its laser and its camera are passed by watching them, as by the keys.
TEST_F(PadRunTest, TheTutorialIsPlayedOutByTouchesAlone) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    ASSERT_NO_FATAL_FAILURE(startTutorial());
    byPad = true;
    ASSERT_TRUE(playSolution("tutorial"));
    // The last target's story, if one is still open, is closed by taps.
    for (int n = 0; n < 1000 && Harness::sceneId() != 13; ++n) {
        const bool story = Harness::inGameState() == InGameScene::OBJECTIVE_STORY && n % 2 == 0;
        if (story) harness.touchDown(240, 320);
        ASSERT_TRUE(harness.step());
        if (story) harness.touchUp(240, 320);
    }
    EXPECT_EQ(Harness::sceneId(), 13);
}

}  // namespace
