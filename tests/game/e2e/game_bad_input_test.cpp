// Bad input met by the whole game: a level missing from the program's packs
// and a progress record cut short.
#include "com_ventrix_utility_SceneManager.h"
#include "game_run.h"
#include "global_GameScene.h"
#include "sam_SamGameSave.h"

using global::GameScene;
using playharness::Harness;
using sam::SamGameSave;

namespace {

class MissingLevelsTest : public gamerun::GameRun {
protected:
    MissingLevelsTest() : GameRun(false) {}
};

TEST_F(MissingLevelsTest, ALevelThatCannotBeLoadedReturnsWhereItWasChosenWithOneLine) {
    start();
    ASSERT_TRUE(toMainMenu());
    // The tutorial, from the main menu's first entry: back to the menu.
    testing::internal::CaptureStdout();
    harness.tap(240, 472);
    ASSERT_TRUE(stepUntilScene(GameScene::TUTORIAL, 10));
    ASSERT_TRUE(stepUntilScene(GameScene::MAIN_MENU, 60));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Level -1 not loaded: missing or cut short\n");
    ASSERT_TRUE(stepUntilLoaded());

    // Level 0, from the level selection's briefing: back to the selection.
    ASSERT_TRUE(openBriefing());
    testing::internal::CaptureStdout();
    harness.tap(412, 592);  // go: the level
    ASSERT_TRUE(stepUntilScene(GameScene::LEVEL, 60));
    ASSERT_TRUE(stepUntilScene(GameScene::BROWSE_LEVELS, 60));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Level 0 not loaded: missing or cut short\n");
    ASSERT_TRUE(stepUntilLoaded());
    ASSERT_TRUE(harness.step(10));
    EXPECT_EQ(Harness::sceneId(), GameScene::BROWSE_LEVELS);
}

class SaveTest : public gamerun::GameRun {};

TEST_F(SaveTest, AProgressRecordCutShortStartsFromTheDefaults) {
    start({{1, {1, 0, 0, 0, 7}}});  // level 7 unlocked, its last byte lost
    ASSERT_TRUE(harness.step(76));
    EXPECT_TRUE(matchesGolden("game", "e2e_title_tick76", harness.frame()));
    EXPECT_EQ(SamGameSave::unlockedLevel, 0);
    EXPECT_EQ(SamGameSave::currentLevel, 0);
    EXPECT_EQ(store(1), (std::vector<uint8_t>{1, 0, 0, 0, 0, 0}));  // the defaults written back
}

}  // namespace
