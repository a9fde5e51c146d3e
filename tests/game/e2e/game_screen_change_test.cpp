// Input across a change of screen, in the stepped game: the briefing after a
// finished mission moves on by itself, and a tap given while it, or the
// loading behind it, was on the screen must not turn a page of the level's
// story that follows; the first tap after the story is drawn does.
#include <cstdint>
#include <vector>

#include "game_run.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameStoryBoard.h"

using scene::ingame::InGameScene;

namespace {

class ScreenChangeTest : public gamerun::GameRun {
protected:
    // The briefing of level 1, as after level 0; loaded.
    bool toBriefing() { return startLevel(global::GameScene::NEXT_BRIEFING, 1); }
    static bool storyShown() {
        InGameScene* s = inGame();
        return s != nullptr && !s->loading && s->state == InGameScene::LEVEL_STORY && s->storyBoard->isVisible();
    }
};

TEST_F(ScreenChangeTest, ATapBeforeTheStoryIsDrawnDoesNotTurnItsPage) {
    // Untouched: the tick at which the briefing moves on, and the one whose
    // update shows the story (drawn at that tick's end).
    ASSERT_TRUE(toBriefing());
    ASSERT_TRUE(stepUntilScene(global::GameScene::LEVEL, 200));
    const int64_t change = harness.ticks;
    ASSERT_TRUE(harness.stepUntil(storyShown, 100));
    const int64_t shown = harness.ticks;
    stop();

    // A tap delivered before tick `at` is taken by that tick's touch poll.
    for (const int64_t at :
         std::vector<int64_t>{change - 1, change, change + 1, (change + shown) / 2, shown - 1, shown, shown + 1}) {
        SCOPED_TRACE("tap before tick " + std::to_string(at) + " (moved on at " + std::to_string(change) +
                     ", story at " + std::to_string(shown) + ")");
        ASSERT_TRUE(toBriefing());
        ASSERT_TRUE(harness.stepUntil([&] { return harness.ticks == at - 1; }, 400));
        harness.tap(240, 320);
        ASSERT_TRUE(harness.stepUntil([&] { return harness.ticks >= shown + 5; }, 400));
        ASSERT_NE(inGame(), nullptr);
        // The story shown at its first page unless the tap came once it was drawn.
        EXPECT_EQ(storyShown() && inGame()->storyBoard->firstLine == 0, at <= shown);
        stop();
    }
}

}  // namespace
