// Every shipped level started straight away as the game's scene manager
// enters it (scene 9 with the level chosen, the tutorial as scene 12), its
// solution played through the window stand-in's keys in the game's stepped
// frame loop, and the scene that follows its end. In one level of each
// location the player, once a checkpoint has been saved, leaves the route
// for the nearest trap or watcher of its row, is caught, confirms the caught
// panel, comes back at the checkpoint and plays the level out from there.
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "ce_window.h"
#include "game_run.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_LevelLoader.h"

using playharness::Harness;
using scene::ingame::InGameObject;
using global::GameScene;
using scene::ingame::InGameScene;

namespace {

struct LevelCase {
    const char* file;  // assets/game/levels/<file>.json
    int scene;         // GameScene::LEVEL, or TUTORIAL for the tutorial
    int level;         // currentLevel for GameScene::LEVEL
    int endScene;      // the scene after the last target
    bool caught;       // the run that is caught after a checkpoint
    int after = 0;     // the caught run leaves the route after this step (from 1) at the earliest
    int resumeAt = 0;  // the solution's step (from 1) played after the restart;
                       // 0: the one after the step that reached the checkpoint
    const char* lead = nullptr;  // a step (solution format) played before it
    bool watcher = false;        // the caught run seeks a watcher, passing the traps by
};

void PrintTo(const LevelCase& c, std::ostream* out) { *out << c.file; }

class LevelRunTest : public gamerun::GameRun, public ::testing::WithParamInterface<LevelCase> {
protected:
    static bool playing() {
        InGameScene* s = inGame();
        return s != nullptr && !s->loading && s->state == InGameScene::PLAYING;
    }

    // After every frame: the view and the player's place on the screen in
    // free play (the first misfit kept), and the checkpoint saves as they
    // happen.
    void track() {
        const ViewCheck view = checkView();
        if (view.checked) ++playFrames;
        if (!view.fits && misfit.empty())
            misfit = "step " + std::to_string(stepIndex + 1) + ", frame " + std::to_string(playFrames) + ": " + view.why;
        body.note(bodySeen(), "step " + std::to_string(stepIndex + 1) + ", frame " + std::to_string(playFrames));
        InGameScene* s = inGame();
        if (s == nullptr || s->loading) return;
        // Each entry into a zone saves what a restart restores.
        if (s->lastCheckpointZone >= 0 && s->lastCheckpointZone != zoneSeen) {
            checkpointTargets = InGameObject::reachedTargets;
            checkpointOutfit = InGameObject::player->outfit;
        }
        zoneSeen = s->lastCheckpointZone;
        if (s->checkpoint == checkpoint) return;
        checkpoint = s->checkpoint;
        checkpointStep = stepIndex;
    }

    bool playStep(const nlohmann::json& step, int* took = nullptr) {
        return GameRun::playStep(step, [this] { track(); }, took);
    }

    // From the checkpoint: toward the nearest trap or watcher (only a
    // watcher with `watcherOnly`) on the player's row until caught. False
    // when the row has none or the walk never ends in the caught panel.
    bool walkIntoTrouble(bool watcherOnly) {
        scene::ingame::InGamePlayer* p = InGameObject::player.get();
        if (p == nullptr || !playing()) return false;
        const jint x = InGameObject::playerX;
        const jint row = p->getDepth();
        jint best = -1, bestDistance = 1 << 30;
        for (VMPtr<InGameObject::Objects> kind : {watcherOnly ? nullptr : InGameObject::traps.get(), InGameObject::disguisedPeople.get()}) {
            for (jint i = 0; kind != nullptr && i < kind->length; ++i) {
                InGameObject* o = kind->get(i);
                if (o == nullptr || o->getDepth() != row) continue;
                const jint d = std::abs(o->getSlotX(0) - x);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = o->getSlotX(0);
                }
            }
        }
        if (best < 0) return false;
        const unsigned key = best < x ? ce::VK_LEFT : ce::VK_RIGHT;
        harness.keyDown(key);
        const bool caught = harness.stepUntil(
            [&] {
                track();
                return Harness::inGameState() == InGameScene::CAUGHT;
            },
            300);
        harness.keyUp(key);
        if (caught || !playing()) return caught;
        // Not caught (disguised, or a wall in the way): back to the route.
        const unsigned back = key == ce::VK_LEFT ? ce::VK_RIGHT : ce::VK_LEFT;
        harness.keyDown(back);
        harness.stepUntil(
            [&] {
                track();
                return key == ce::VK_LEFT ? InGameObject::playerX >= x : InGameObject::playerX <= x;
            },
            300);
        harness.keyUp(back);
        harness.step();
        return false;
    }

    size_t stepIndex = 0;  // the solution's step being played (from 0)
    int playFrames = 0;    // frames in free play
    std::string misfit;    // the first frame whose view did not fit
    BodyWatch body;        // how much of the player the scenery leaves in sight
    jint checkpoint = -1;
    size_t checkpointStep = 0;
    jint checkpointTargets = 0;
    jint checkpointOutfit = 0;
    jint zoneSeen = -1;
};

TEST_P(LevelRunTest, ItsSolutionEndsInItsSceneChange) {
    const LevelCase& c = GetParam();
    // Under the collector's stress mode (a collection every few allocations)
    // a whole level takes minutes: the tutorial and the airport's caught run
    // stand for the rest there.
    if (std::getenv("VESSILO_GC_STRESS") != nullptr && c.level != -1 && c.level != 5)
        GTEST_SKIP() << "whole levels are left to the debug and sanitizer runs in stress mode";
    // The saved progress makes the chosen level the current one.
    ASSERT_TRUE(startLevel(c.scene, c.level));
    if (c.scene == GameScene::LEVEL) {
        EXPECT_EQ(sam::SamGameSave::currentLevel, c.level);
    }

    const nlohmann::json solution = solutionOf(c.file);
    const bool tracing = std::getenv("VESSILO_SOLUTION_TRACE") != nullptr;

    bool wasCaught = false;
    for (size_t i = 0; i < solution.size(); ++i) {
        stepIndex = i;
        int took = 0;
        ASSERT_TRUE(playStep(solution[i], &took)) << c.file << ": step " << i + 1 << " " << solution[i].dump()
                                           << " never ended; x " << InGameObject::playerX << " state "
                                           << Harness::inGameState();
        InGameScene* s = inGame();
        if (tracing && s != nullptr && InGameObject::player != nullptr)
            std::printf("%s step %zu: %d frames, x %d row %d targets %d checkpoint %d disguise %d\n", c.file, i + 1,
                        took, InGameObject::playerX, InGameObject::player->getDepth(), InGameObject::reachedTargets,
                        s->checkpoint, InGameObject::player->getDisguiseTimer());
        if (s == nullptr) break;
        if (!(c.caught || std::getenv("VESSILO_CAUGHT_ALL") != nullptr) || std::getenv("VESSILO_CAUGHT_NONE") != nullptr || wasCaught || checkpoint < 0 || int(i) + 1 < c.after || !walkIntoTrouble(c.watcher)) continue;

        // Caught: the panel's confirm (taken once its first animation has
        // run) restarts the level at the checkpoint, in play.
        wasCaught = true;
        const int64_t caughtAt = harness.ticks;
        ASSERT_TRUE(confirmCaught()) << "caught at tick " << caughtAt;
        VMPtr<VMInts> zone = InGameObject::levelLoader->zoneRecords->get(checkpoint);
        // Back at the zone's middle, standing on a floor (the floors lie
        // 128 px apart, the start on one of them).
        EXPECT_EQ(InGameObject::player->getSlotX(0), (*zone)[0] + (*zone)[2] / 2);
        EXPECT_EQ((InGameObject::playerY - (*InGameObject::levelLoader->playerRecord)[2]) % 128, 0)
            << "at " << InGameObject::playerY;
        // The targets and the outfit step are as the checkpoint saved them.
        EXPECT_EQ(InGameObject::reachedTargets, checkpointTargets);
        EXPECT_EQ(InGameObject::player->outfit, checkpointOutfit);
        EXPECT_EQ(inGame()->checkpoint, checkpoint);
        if (tracing) std::printf("%s: caught at tick %lld, back at checkpoint %d (saved in step %zu)\n", c.file, (long long)caughtAt, checkpoint, checkpointStep + 1);
        if (c.lead != nullptr) {
            ASSERT_TRUE(playStep(nlohmann::json::parse(c.lead))) << c.lead;
        }
        // The route goes on from the checkpoint.
        i = c.resumeAt > 0 ? size_t(c.resumeAt - 1) : checkpointStep + 1;
        --i;
    }
    // Every frame of free play shows the world over the whole screen and the
    // player between the head-up display and the pad.
    EXPECT_GT(playFrames, 0);
    EXPECT_EQ(misfit, "") << c.file;
    // ... and at least half of the player's body in every such frame.
    EXPECT_EQ(body.hidden, "") << c.file;
    if (tracing) std::printf("%s: %d frames in free play; least of the body shown at %s\n", c.file, playFrames, body.leastAt.c_str());
    if (c.caught) {
        EXPECT_TRUE(wasCaught) << c.file << ": no trap or watcher on a row after a checkpoint";
    }
    // The last target's story, if one is open, is closed by confirms.
    ASSERT_TRUE(closeStoriesUntil(c.endScene)) << c.file << " ended in state " << Harness::inGameState();
    // Level 10 leads to the main menu without a next level; the tutorial
    // leaves level 0 current.
    EXPECT_EQ(sam::SamGameSave::currentLevel, c.scene == GameScene::TUTORIAL ? 0 : c.level == 10 ? 10 : c.level + 1);
    // Levels 2, 5 and 8 go straight to their chapter's scene; level 10 ends
    // in its final pan; the others show the level-complete panel.
    const int ending = c.endScene == GameScene::INTERLUDE ? -1 : c.level == 10 ? InGameScene::FINAL_PAN : InGameScene::LEVEL_COMPLETE;
    if (ending >= 0) {
        EXPECT_GT(harness.tickOf("state", ending), 0);
    }
}

// The tutorial's uniform lesson off its route: the player turns back right
// behind the policeman and knocks him down instead of borrowing from him.
// He still lends his uniform where he lies, from a step behind his back; it
// lasts to the uniform door, wears off under the officers past it, and the
// rest of the tutorial plays out as before.
class LenderDetourTest : public gamerun::GameRun {};

TEST_F(LenderDetourTest, AKnockedOutLenderStillLendsAndTheUniformLastsToItsDoor) {
    using scene::ingame::InGameDisguisedPeople;
    using scene::ingame::InGamePlayer;
    ASSERT_TRUE(startLevel(GameScene::TUTORIAL, 0));
    const nlohmann::json solution = solutionOf("tutorial");
    const nlohmann::json borrow = nlohmann::json::parse(R"({"press": "action", "until": {"state": 10}})");
    size_t at = 0;
    while (at < solution.size() && solution[at] != borrow) ++at;
    ASSERT_LT(at + 4, solution.size());
    ASSERT_TRUE(playSteps(solution, 0, at));

    // The lender: the watcher of the player's row nearest to it.
    InGameDisguisedPeople* lender = nullptr;
    for (jint i = 0; i < InGameObject::disguisedPeople->length; ++i) {
        auto* o = dynamic_cast<InGameDisguisedPeople*>(InGameObject::disguisedPeople->get(i));
        if (o == nullptr || o->getDepth() != InGameObject::player->getDepth()) continue;
        if (lender == nullptr || std::abs(o->getSlotX(0) - InGameObject::playerX) <
                                     std::abs(lender->getSlotX(0) - InGameObject::playerX))
            lender = o;
    }
    ASSERT_NE(lender, nullptr);
    const jint standing = lender->getSlotX(0);
    ASSERT_LT(InGameObject::playerX, standing) << "the route comes to his back from his front";
    const auto step = [](const std::string& text) { return nlohmann::json::parse(text); };
    ASSERT_TRUE(playStep(step(R"({"hold": "right", "until": {"xAtLeast": )" + std::to_string(standing - 28) + "}}")));
    ASSERT_TRUE(playStep(step(R"({"press": "action", "until": {"state": 9}})")));
    ASSERT_TRUE(playStep(step(R"({"wait": true, "until": {"state": 0}})")));
    ASSERT_EQ(lender->getSlotIndex(0), InGameDisguisedPeople::ANIM_KNOCKED_OUT);
    const jint lying = lender->getSlotX(0);
    ASSERT_TRUE(playStep(step(R"({"hold": "left", "until": {"xAtMost": )" + std::to_string(lying - 36) + "}}")));

    // Back on the route: the uniform borrowed, the walk to its door and the
    // door opened, with the whole uniform left.
    for (size_t i = at; i < at + 4; ++i) {
        // The door's press once the agent stands: a press in the frame that
        // pushes it back off the closed door is not taken.
        if (i == at + 3) {
            ASSERT_TRUE(playStep(step(R"({"wait": true, "until": {"state": 0}})")));
        }
        ASSERT_TRUE(playStep(solution[i])) << "step " << i + 1;
    }
    EXPECT_EQ(InGameObject::player->getDisguiseTimer(), InGamePlayer::DISGUISE_TIME);
    EXPECT_EQ(lender->getSlotIndex(0), InGameDisguisedPeople::ANIM_UNDRESSED);
    const jint reached = InGameObject::reachedTargets;
    size_t i = at + 4;
    for (; i < solution.size() && InGameObject::reachedTargets == reached; ++i)
        ASSERT_TRUE(playStep(solution[i])) << "step " << i + 1 << " x " << InGameObject::playerX;
    EXPECT_EQ(InGameObject::player->getDisguiseTimer(), 0) << "worn off past the door";
    for (; i < solution.size(); ++i) ASSERT_TRUE(playStep(solution[i])) << "step " << i + 1;
    EXPECT_TRUE(stepUntilScene(GameScene::NEXT_BRIEFING));
}

// One level of each location is caught: the airport (5), the mansion (6), the
// park (2), the base (8) and the hotel (9); and the tutorial by its patrolling
// guard, who catches on sight.
INSTANTIATE_TEST_SUITE_P(Shipped, LevelRunTest,
                         ::testing::Values(LevelCase{"tutorial", GameScene::TUTORIAL, -1, GameScene::NEXT_BRIEFING, true, 41, 0, nullptr, true},
                                           LevelCase{"level0", GameScene::LEVEL, 0, GameScene::NEXT_BRIEFING, false},
                                           LevelCase{"level1", GameScene::LEVEL, 1, GameScene::NEXT_BRIEFING, false},
                                           LevelCase{"level2", GameScene::LEVEL, 2, GameScene::INTERLUDE, true, 27},
                                           LevelCase{"level3", GameScene::LEVEL, 3, GameScene::NEXT_BRIEFING, false},
                                           LevelCase{"level4", GameScene::LEVEL, 4, GameScene::NEXT_BRIEFING, false},
                                           LevelCase{"level5", GameScene::LEVEL, 5, GameScene::INTERLUDE, true, 37},
                                           LevelCase{"level6", GameScene::LEVEL, 6, GameScene::NEXT_BRIEFING, true, 33, 33},
                                           LevelCase{"level7", GameScene::LEVEL, 7, GameScene::NEXT_BRIEFING, false},
                                           LevelCase{"level8", GameScene::LEVEL, 8, GameScene::INTERLUDE, true, 69, 67},
                                           LevelCase{"level9", GameScene::LEVEL, 9, GameScene::NEXT_BRIEFING, true, 57, 57},
                                           LevelCase{"level10", GameScene::LEVEL, 10, GameScene::MAIN_MENU, false}),
                         [](const ::testing::TestParamInfo<LevelCase>& info) { return std::string(info.param.file); });

}  // namespace
