// A borrowed outfit wasted, and doors pressed twice: a player who lets the
// first outfit run out before its door still finishes the level, and so does
// one who presses the action again at every key or outfit door.
//
// The wasted run is a level file's `wasted` steps (the solution's format),
// played from the first frame to the end; an outfit that an outfit door asks
// for must wear off before that door has opened. In both runs every outfit
// door opens with the outfit whole: the way from a lender to the door lies
// out of every watcher's sight. The double-press run is the level's
// solution with this added after every step that opens a key or outfit door:
// once the door stands open and the agent stands free, action closes it; once
// it is shut, action opens it again; the solution then goes on.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ce_window.h"
#include "game_run.h"
#include "global_GameScene.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameScene.h"

using global::GameScene;
using playharness::Harness;
using scene::ingame::InGameInteractionItem;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::InGameScene;

namespace {

// A door's layer-0 animations: shut, opening, open (as a level starts it or
// once used), closing.
constexpr jint DOOR_SHUT = 0, DOOR_OPEN = 2, DOOR_CLOSING = 3, DOOR_OPENING = 5, DOOR_OPEN_AGAIN = 6;

struct LevelCase {
    const char* file;  // assets/game/levels/<file>.json
    int scene;         // GameScene::LEVEL, or TUTORIAL for the tutorial
    int level;         // currentLevel for GameScene::LEVEL
    int endScene;      // the scene after the last target
};

void PrintTo(const LevelCase& c, std::ostream* out) { *out << c.file; }

nlohmann::json levelFile(const std::string& name) {
    std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/" + name + ".json");
    std::stringstream content;
    content << in.rdbuf();
    return nlohmann::json::parse(content.str());
}

class WastedRunTest : public gamerun::GameRun, public ::testing::WithParamInterface<LevelCase> {
protected:
    void SetUp() override {
        GameRun::SetUp();
        if (std::getenv("VESSILO_GC_STRESS") != nullptr)
            GTEST_SKIP() << "whole levels are left to the debug and sanitizer runs in stress mode";
        tracing = std::getenv("VESSILO_SOLUTION_TRACE") != nullptr;
    }

    // The level's doors that ask for a key or an outfit.
    static std::vector<InGameInteractionItem*> doors(bool outfitOnly) {
        std::vector<InGameInteractionItem*> found;
        InGameObject::Objects* items = InGameObject::interactionItems.get();
        for (jint i = 0; items != nullptr && i < items->length; ++i) {
            auto* item = dynamic_cast<InGameInteractionItem*>(items->get(i));
            if (item == nullptr || item->isFixed()) continue;
            const bool outfit = item->getOutfitIndex() != InGameInteractionItem::NO_OUTFIT;
            if (outfit || (!outfitOnly && item->getRequiredKeyLevel() != 0)) found.push_back(item);
        }
        return found;
    }

    // After every frame: the outfit doors that have begun to open, and
    // whether an outfit that one of the others asks for wore off.
    void watch() {
        ++frames;
        InGamePlayer* p = InGameObject::player.get();
        if (inGame() == nullptr || inGame()->loading || p == nullptr) return;
        for (InGameInteractionItem* door : doors(true)) {
            // The way from the lender to the door is out of every watcher's
            // sight: the outfit is whole when the door opens.
            if (door->getSlotIndex(0) == DOOR_OPENING && openedDoors.insert(door).second &&
                p->getDisguiseTimer() != InGamePlayer::DISGUISE_TIME)
                drainedOnTheWay = true;
            if (p->getState() == InGamePlayer::DISGUISE_ENDING && !openedDoors.contains(door) &&
                p->getImageIndex(0) == door->getOutfitIndex())
                wornOffBeforeDoor = true;
        }
    }

    bool play(const nlohmann::json& step, size_t i, const std::function<void()>& afterFrame) {
        int took = 0;
        const bool done = GameRun::playStep(step, afterFrame, &took);
        InGamePlayer* p = InGameObject::player.get();
        if (tracing && p != nullptr && inGame() != nullptr)
            std::printf("%s step %zu: %d frames, x %d row %d state %d targets %d checkpoint %d disguise %d\n",
                        GetParam().file, i + 1, took, InGameObject::playerX, p->getDepth(), p->getState(),
                        InGameObject::reachedTargets, inGame()->checkpoint, p->getDisguiseTimer());
        if (!done)
            ADD_FAILURE() << GetParam().file << ": step " << i + 1 << " " << step.dump() << " never ended; x "
                          << InGameObject::playerX << " state " << Harness::inGameState();
        return done;
    }

    // The level's end: stories closed, the next scene, the next level saved.
    void expectEnd() {
        const LevelCase& c = GetParam();
        EXPECT_FALSE(drainedOnTheWay) << c.file << ": an outfit ran down on the way to its door";
        ASSERT_TRUE(closeStoriesUntil(c.endScene)) << c.file << " ended in state " << Harness::inGameState();
        EXPECT_EQ(sam::SamGameSave::currentLevel, c.scene == GameScene::TUTORIAL ? 0
                                                  : c.level == 10                ? 10
                                                                                 : c.level + 1);
        if (tracing) std::printf("%s: %d frames\n", c.file, frames);
        RecordProperty("frames", frames);
    }

    // Steps until `done` holds, watching; false after `most` frames.
    bool stepUntil(const std::function<bool()>& done, int most) {
        return harness.stepUntil(
            [&] {
                watch();
                return done();
            },
            most);
    }

    bool tracing = false;
    int frames = 0;
    std::set<InGameInteractionItem*> openedDoors;
    bool drainedOnTheWay = false;
    bool wornOffBeforeDoor = false;
};

TEST_P(WastedRunTest, AWastedOutfitStillLeadsToTheEnd) {
    const LevelCase& c = GetParam();
    const nlohmann::json wasted = solutionOf(c.file, "wasted");
    ASSERT_FALSE(wasted.empty()) << c.file << " has no wasted run";
    ASSERT_TRUE(startLevel(c.scene, c.level));
    ASSERT_FALSE(doors(true).empty()) << c.file << " has no outfit door to waste an outfit on";
    for (size_t i = 0; i < wasted.size(); ++i) ASSERT_TRUE(play(wasted[i], i, [this] { watch(); }));
    EXPECT_TRUE(wornOffBeforeDoor) << c.file << ": no outfit that a door asks for wore off before its door";
    expectEnd();
}

TEST_P(WastedRunTest, PressingTwiceAtEachDoorStillLeadsToTheEnd) {
    const LevelCase& c = GetParam();
    const nlohmann::json solution = solutionOf(c.file);
    ASSERT_TRUE(startLevel(c.scene, c.level));
    int doubled = 0;
    for (size_t i = 0; i < solution.size(); ++i) {
        // The key or outfit door this step opens, if any.
        InGameInteractionItem* opened = nullptr;
        ASSERT_TRUE(play(solution[i], i, [&] {
            watch();
            if (opened != nullptr || solution[i].value("press", "") != "action") return;
            for (InGameInteractionItem* door : doors(false))
                if (door->getSlotIndex(0) == DOOR_OPENING && door->getDepth() == InGameObject::player->getDepth())
                    opened = door;
        }));
        if (opened == nullptr || inGame() == nullptr) continue;
        ++doubled;
        InGamePlayer* p = InGameObject::player.get();
        const auto open = [&] {
            const jint shown = opened->getSlotIndex(0);
            return (shown == DOOR_OPEN || shown == DOOR_OPEN_AGAIN) && p->getState() == InGamePlayer::STANDING &&
                   p->isExposed();
        };
        const auto shut = [&] {
            return opened->getSlotIndex(0) == DOOR_SHUT && p->getState() == InGamePlayer::STANDING && p->isExposed();
        };
        ASSERT_TRUE(stepUntil(open, 200)) << c.file << ": the door of step " << i + 1 << " never stood open";
        pressKey(ce::VK_RETURN);
        watch();
        watch();
        ASSERT_TRUE(stepUntil([&] { return opened->getSlotIndex(0) == DOOR_CLOSING || shut(); }, 10))
            << c.file << ": a second press at the door of step " << i + 1 << " did not close it";
        ASSERT_TRUE(stepUntil(shut, 200)) << c.file << ": the door of step " << i + 1 << " never shut";
        pressKey(ce::VK_RETURN);
        watch();
        watch();
        ASSERT_TRUE(stepUntil(open, 200)) << c.file << ": the door of step " << i + 1
                                          << " did not open again (disguise " << p->getDisguiseTimer() << ")";
    }
    EXPECT_GT(doubled, 0) << c.file << ": no step opened a key or outfit door";
    expectEnd();
}

// Every level with an outfit door ships a wasted run.
TEST(WastedRuns, EveryLevelWithAnOutfitDoorHasOne) {
    for (const std::string name : {"tutorial", "level0", "level1", "level2", "level3", "level4", "level5", "level6",
                                   "level7", "level8", "level9", "level10"}) {
        const nlohmann::json level = levelFile(name);
        bool outfitDoor = false;
        for (const nlohmann::json& group : level.at("objects")) {
            const int type = group.value("type", -1);
            if (type != 2 && type != 5 && type != 13 && type != 17 && type != 20) continue;
            for (const nlohmann::json& o : group.value("objects", nlohmann::json::array()))
                outfitDoor |= o.value("outfit", 0) > 0 && !o.value("fixed", false);
        }
        if (!outfitDoor) continue;
        EXPECT_TRUE(level.contains("wasted") && !level["wasted"].empty())
            << name << " has an outfit door and no wasted run";
    }
}

// Level 0's policeman, his uniform borrowed, knocked out from behind: lying
// there he neither sees nor feels the agent, who walks over him and back to
// the door in the uniform without losing any of it.
class LyingWatcherTest : public gamerun::GameRun {};

TEST_F(LyingWatcherTest, AKnockedOutWatcherDrainsNoOutfit) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    using scene::ingame::InGameDisguisedPeople;
    ASSERT_TRUE(startLevel(GameScene::LEVEL, 0));
    const nlohmann::json solution = solutionOf("level0");
    // Up to the uniform borrowed (the last borrowing step; the door's press
    // comes three steps after it).
    const nlohmann::json borrowing = nlohmann::json::parse(R"({"press": "action", "until": {"state": 10}})");
    size_t borrow = solution.size();
    while (borrow > 0 && solution[borrow - 1] != borrowing) --borrow;
    ASSERT_GT(borrow--, 0u);
    ASSERT_TRUE(playSteps(solution, 0, borrow + 2));
    auto* lender = dynamic_cast<InGameDisguisedPeople*>(InGameObject::disguisedPeople->get(0));
    ASSERT_NE(lender, nullptr);
    ASSERT_EQ(lender->getDepth(), InGameObject::player->getDepth());
    ASSERT_EQ(lender->getSlotIndex(0), InGameDisguisedPeople::ANIM_UNDRESSED);
    const jint x = lender->getSlotX(0);
    ASSERT_GT(InGameObject::playerX, x) << "borrowed from behind, east of him";
    const auto step = [](const std::string& text) { return nlohmann::json::parse(text); };
    // Turned to his back and knocked out.
    ASSERT_TRUE(playStep(step(R"({"hold": "left", "until": {"xAtMost": )" + std::to_string(x + 30) + "}}")));
    ASSERT_TRUE(playStep(step(R"({"wait": true, "until": {"state": 0}})")));
    ASSERT_TRUE(playStep(step(R"({"press": "action", "until": {"state": 9}})")));
    ASSERT_TRUE(playStep(step(R"({"wait": true, "until": {"state": 0}})")));
    ASSERT_EQ(lender->getSlotIndex(0), InGameDisguisedPeople::ANIM_KNOCKED_OUT);
    // Over him and back to the door.
    jint least = InGameObject::player->getDisguiseTimer();
    bool marked = false;
    const auto watch = [&] {
        least = std::min(least, InGameObject::player->getDisguiseTimer());
        marked |= lender->getSlotIndex(1) != 0;
    };
    ASSERT_TRUE(
        GameRun::playStep(step(R"({"hold": "left", "until": {"xAtMost": )" + std::to_string(x - 40) + "}}"), watch));
    ASSERT_TRUE(GameRun::playStep(step(R"({"wait": true, "until": {"frames": 50}})"), watch));
    ASSERT_TRUE(GameRun::playStep(step(R"({"hold": "right", "until": {"xAtLeast": 1718}})"), watch));
    EXPECT_EQ(least, InGamePlayer::DISGUISE_TIME);
    EXPECT_FALSE(marked) << "a knocked-out watcher showed a mark";
    // The door's press once the agent stands (a press in the frame that
    // pushes it back off the closed door is not taken).
    ASSERT_TRUE(playStep(step(R"({"wait": true, "until": {"state": 0}})")));
    ASSERT_TRUE(playSteps(solution, borrow + 3, solution.size()));
    EXPECT_TRUE(closeStoriesUntil(GameScene::NEXT_BRIEFING));
}

INSTANTIATE_TEST_SUITE_P(Shipped, WastedRunTest,
                         ::testing::Values(LevelCase{"tutorial", GameScene::TUTORIAL, -1, GameScene::NEXT_BRIEFING},
                                           LevelCase{"level0", GameScene::LEVEL, 0, GameScene::NEXT_BRIEFING},
                                           LevelCase{"level1", GameScene::LEVEL, 1, GameScene::NEXT_BRIEFING},
                                           LevelCase{"level2", GameScene::LEVEL, 2, GameScene::INTERLUDE},
                                           LevelCase{"level3", GameScene::LEVEL, 3, GameScene::NEXT_BRIEFING},
                                           LevelCase{"level4", GameScene::LEVEL, 4, GameScene::NEXT_BRIEFING},
                                           LevelCase{"level5", GameScene::LEVEL, 5, GameScene::INTERLUDE},
                                           LevelCase{"level6", GameScene::LEVEL, 6, GameScene::NEXT_BRIEFING},
                                           LevelCase{"level7", GameScene::LEVEL, 7, GameScene::NEXT_BRIEFING},
                                           LevelCase{"level8", GameScene::LEVEL, 8, GameScene::INTERLUDE},
                                           LevelCase{"level9", GameScene::LEVEL, 9, GameScene::NEXT_BRIEFING},
                                           LevelCase{"level10", GameScene::LEVEL, 10, GameScene::MAIN_MENU}),
                         [](const ::testing::TestParamInfo<LevelCase>& info) { return std::string(info.param.file); });

}  // namespace
