// A borrowed outfit wasted, and doors pressed twice, in every shipped level:
// the wasted run (a level file's `wasted` steps) lets an outfit that an outfit
// door asks for wear off before that door opens; the double-press run is the
// solution with action pressed, after every step that opens a key or outfit
// door, to close the door once it stands open and to open it again once shut.
// Both still finish the level, and every outfit door opens with the outfit
// whole (the way from a lender to its door is out of every watcher's sight).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>
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

// A shipped level by number (-1 the tutorial).
class WastedRunTest : public gamerun::GameRun, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        GameRun::SetUp();
        if (std::getenv("VESSILO_GC_STRESS") != nullptr)
            GTEST_SKIP() << "whole levels are left to the debug and sanitizer runs in stress mode";
        // Under the sanitizer the same steps of play run in three levels: the
        // tutorial, the first mission and the one with three outfit doors;
        // the debug run plays them all.
        if (gamerun::kAddressSanitizer && GetParam() != -1 && GetParam() != 0 && GetParam() != 9)
            GTEST_SKIP() << "left to the debug run under the sanitizer";
        file = gamerun::levelName(GetParam());
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
            drainedOnTheWay |= door->getSlotIndex(0) == DOOR_OPENING && openedDoors.insert(door).second &&
                               p->getDisguiseTimer() != InGamePlayer::DISGUISE_TIME;
            wornOffBeforeDoor |= p->getState() == InGamePlayer::DISGUISE_ENDING && !openedDoors.contains(door) &&
                                 p->getImageIndex(0) == door->getOutfitIndex();
        }
    }

    // The level's end: stories closed, the next scene (the interlude after
    // levels 2, 5 and 8, the main menu after the last), the next level saved.
    void expectEnd() {
        const int level = GetParam();
        const int endScene = level == 10                              ? GameScene::MAIN_MENU
                             : level == 2 || level == 5 || level == 8 ? GameScene::INTERLUDE
                                                                      : GameScene::NEXT_BRIEFING;
        EXPECT_FALSE(drainedOnTheWay) << file << ": an outfit ran down on the way to its door";
        ASSERT_TRUE(closeStoriesUntil(endScene)) << file << " ended in state " << Harness::inGameState();
        EXPECT_EQ(sam::SamGameSave::currentLevel, level < 0 ? 0 : std::min(level + 1, 10));
        if (std::getenv("VESSILO_SOLUTION_TRACE") != nullptr) std::printf("%s: %d frames\n", file.c_str(), frames);
        RecordProperty("frames", frames);
    }

    // Steps until `done` holds, watching; false after `most` frames.
    bool stepUntil(const std::function<bool()>& done, int most) {
        return harness.stepUntil([&] { return watch(), done(); }, most);
    }

    // A press of action at a door (two frames, both watched).
    void pressWatched() {
        pressKey(ce::VK_RETURN);
        watch();
        watch();
    }

    std::string file;
    int frames = 0;
    std::set<InGameInteractionItem*> openedDoors;
    bool drainedOnTheWay = false;
    bool wornOffBeforeDoor = false;
};

TEST_P(WastedRunTest, AWastedOutfitStillLeadsToTheEnd) {
    const nlohmann::json wasted = solutionOf(file, "wasted");
    ASSERT_FALSE(wasted.empty()) << file << " has no wasted run";
    ASSERT_TRUE(startLevel(GetParam()));
    ASSERT_FALSE(doors(true).empty()) << file << " has no outfit door to waste an outfit on";
    for (size_t i = 0; i < wasted.size(); ++i) ASSERT_TRUE(playStepOf(file, wasted, i, [this] { watch(); }));
    EXPECT_TRUE(wornOffBeforeDoor) << file << ": no outfit that a door asks for wore off before its door";
    expectEnd();
}

TEST_P(WastedRunTest, PressingTwiceAtEachDoorStillLeadsToTheEnd) {
    const nlohmann::json solution = solutionOf(file);
    ASSERT_TRUE(startLevel(GetParam()));
    int doubled = 0;
    for (size_t i = 0; i < solution.size(); ++i) {
        // The key or outfit door this step opens, if any.
        InGameInteractionItem* opened = nullptr;
        ASSERT_TRUE(playStepOf(file, solution, i, [&] {
            watch();
            if (opened != nullptr || solution[i].value("press", "") != "action") return;
            for (InGameInteractionItem* door : doors(false))
                if (door->getSlotIndex(0) == DOOR_OPENING && door->getDepth() == InGameObject::player->getDepth())
                    opened = door;
        }));
        if (opened == nullptr || inGame() == nullptr) continue;
        ++doubled;
        InGamePlayer* p = InGameObject::player.get();
        const auto standsFree = [p] { return p->getState() == InGamePlayer::STANDING && p->isExposed(); };
        const auto at = [opened](jint animation) { return opened->getSlotIndex(0) == animation; };
        const auto open = [&] { return (at(DOOR_OPEN) || at(DOOR_OPEN_AGAIN)) && standsFree(); };
        const auto shut = [&] { return at(DOOR_SHUT) && standsFree(); };
        const std::string door = file + ": the door of step " + std::to_string(i + 1);
        ASSERT_TRUE(stepUntil(open, 200)) << door << " never stood open";
        pressWatched();
        ASSERT_TRUE(stepUntil([&] { return at(DOOR_CLOSING) || shut(); }, 10))
            << door << " did not close at a second press";
        ASSERT_TRUE(stepUntil(shut, 200)) << door << " never shut";
        pressWatched();
        ASSERT_TRUE(stepUntil(open, 200)) << door << " did not open again (disguise " << p->getDisguiseTimer() << ")";
    }
    EXPECT_GT(doubled, 0) << file << ": no step opened a key or outfit door";
    expectEnd();
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
    const auto step = [this](const std::string& text, const std::function<void()>& afterFrame = {}) {
        return GameRun::playStep(nlohmann::json::parse(text), afterFrame);
    };
    const std::string standing = R"({"wait": true, "until": {"state": 0}})";
    // Turned to his back and knocked out.
    ASSERT_TRUE(step(R"({"hold": "left", "until": {"xAtMost": )" + std::to_string(x + 30) + "}}"));
    ASSERT_TRUE(step(standing));
    ASSERT_TRUE(step(R"({"press": "action", "until": {"state": 9}})"));
    ASSERT_TRUE(step(standing));
    ASSERT_EQ(lender->getSlotIndex(0), InGameDisguisedPeople::ANIM_KNOCKED_OUT_UNDRESSED);
    // Over him and back to the door.
    jint least = InGameObject::player->getDisguiseTimer();
    bool marked = false;
    const auto watch = [&] {
        least = std::min(least, InGameObject::player->getDisguiseTimer());
        marked |= lender->getSlotIndex(1) != 0;
    };
    ASSERT_TRUE(step(R"({"hold": "left", "until": {"xAtMost": )" + std::to_string(x - 40) + "}}", watch));
    ASSERT_TRUE(step(R"({"wait": true, "until": {"frames": 50}})", watch));
    ASSERT_TRUE(step(R"({"hold": "right", "until": {"xAtLeast": 1718}})", watch));
    EXPECT_EQ(least, InGamePlayer::DISGUISE_TIME);
    EXPECT_FALSE(marked) << "a knocked-out watcher showed a mark";
    // The door's press once the agent stands (a press in the frame that
    // pushes it back off the closed door is not taken).
    ASSERT_TRUE(step(standing));
    ASSERT_TRUE(playSteps(solution, borrow + 3, solution.size()));
    EXPECT_TRUE(closeStoriesUntil(GameScene::NEXT_BRIEFING));
}

INSTANTIATE_TEST_SUITE_P(Shipped, WastedRunTest, ::testing::Range(-1, 11), gamerun::levelParamName);

}  // namespace
