// The game played from the program's start, frame by frame in its own frame
// loop: the logo and the title, the sound question answered "on", the main
// menu's first entry, the tutorial and level 0 played by their solutions,
// and the save after them; frames at chosen ticks against their goldens.
#include "game_run.h"
#include "global_GameScene.h"
#include "scene_ingame_InGameScene.h"

using global::GameScene;
using playharness::Harness;
using playharness::TraceEntry;
using scene::ingame::InGameScene;

namespace {

class PlayThroughTest : public gamerun::GameRun {
protected:
    // The frame presented in the tick just run, against its golden.
    void expectFrame(const char* name) {
        EXPECT_TRUE(matchesGolden("game", name, harness.frame())) << "tick " << harness.ticks;
    }
};

TEST_F(PlayThroughTest, FromTheLogoThroughTheTutorialAndTheFirstLevel) {
    start();
    // The logo alone from the tick that enters it, the title picture 3 s on.
    ASSERT_TRUE(harness.step());
    EXPECT_EQ(Harness::sceneId(), GameScene::LOGO);
    expectFrame("e2e_logo_tick1");
    ASSERT_TRUE(harness.step(74));
    expectFrame("e2e_logo_tick75");
    ASSERT_TRUE(harness.step());
    expectFrame("e2e_title_tick76");

    // The sound question: asked for in tick 176, loaded in 177-188.
    ASSERT_TRUE(stepUntilScene(GameScene::START_SOUND_PAGE, 200));
    EXPECT_EQ(harness.ticks, 176);
    ASSERT_TRUE(stepUntilLoaded());
    EXPECT_EQ(harness.ticks, 188);
    // The store made with the defaults at the start, taken away to see the
    // answer's write.
    EXPECT_EQ(store(0), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 1}));
    ASSERT_TRUE(canvas->saveRecordStore(0, nullptr));
    takeSounds();
    expectFrame("e2e_sound_question");

    // "On" tapped before tick 189 counts in tick 190: the answer saved, the
    // menu music, and the main menu, loaded in 8 ticks.
    harness.tap(240, 272);
    ASSERT_TRUE(harness.step());
    EXPECT_EQ(Harness::sceneId(), GameScene::START_SOUND_PAGE);
    EXPECT_TRUE(store(0).empty());
    ASSERT_TRUE(harness.step());
    EXPECT_EQ(Harness::sceneId(), GameScene::MAIN_MENU);
    EXPECT_EQ(store(0), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 1}));  // sound on
    EXPECT_EQ(takeSounds(), (std::vector<std::string>{"stopSound 0", "playSound 0 21509 -1 0", "playOnChannel 0 0"}));
    ASSERT_TRUE(stepUntilLoaded());
    EXPECT_EQ(harness.ticks, 198);
    expectFrame("e2e_main_menu");

    // Its first entry: the tutorial, played by its solution.
    harness.tap(240, 472);
    ASSERT_TRUE(stepUntilScene(GameScene::TUTORIAL, 10));
    EXPECT_EQ(harness.ticks, 200);
    ASSERT_TRUE(stepUntilLoaded());
    ASSERT_TRUE(playSolution("tutorial"));
    ASSERT_TRUE(stepUntilScene(GameScene::NEXT_BRIEFING, 200));

    // The level selection after it starts level 0 by itself: scene 9 in the
    // 126th tick after the one that finished its load.
    ASSERT_TRUE(stepUntilLoaded());
    const int64_t selectLoaded = harness.ticks;
    expectFrame("e2e_select_after_tutorial");
    takeSounds();
    ASSERT_TRUE(stepUntilScene(GameScene::LEVEL, 200));
    EXPECT_EQ(harness.ticks - selectLoaded, 126);
    EXPECT_EQ(takeSounds(), (std::vector<std::string>{"stopSound 0", "playSound 0 21507 -1 0", "playOnChannel 0 0"}));

    // Level 0 by its solution; its completion unlocks level 1 and saves it.
    // Its loading: the word and the bar under the briefing card.
    ASSERT_TRUE(harness.step(3));
    expectFrame("e2e_loading_level0");
    ASSERT_TRUE(stepUntilLoaded());
    ASSERT_TRUE(playSolution("level0"));
    ASSERT_EQ(Harness::inGameState(), InGameScene::LEVEL_COMPLETE);
    // The complete panel as the level's last frame shows it.
    Picture last;
    for (int n = 0; n < 200 && Harness::sceneId() == GameScene::LEVEL; ++n) {
        last = harness.frame();
        ASSERT_TRUE(harness.step());
    }
    EXPECT_EQ(Harness::sceneId(), GameScene::NEXT_BRIEFING);
    EXPECT_TRUE(matchesGolden("game", "e2e_level0_complete", last));
    EXPECT_EQ(store(1), (std::vector<uint8_t>{1, 0, 0, 0, 1, 0}));

    // The scenes and the in-game states in order, with their ticks.
    std::vector<std::pair<std::string, int>> order;
    for (const TraceEntry& e : harness.trace) order.emplace_back(e.what, e.value);
    // The tutorial's ten targets each open a story between two spells of play.
    std::vector<std::pair<std::string, int>> expected = {{"scene", 0},
                                                         {"scene", 15},
                                                         {"scene", 1},
                                                         {"scene", 12},
                                                         {"state", InGameScene::LEVEL_STORY},
                                                         {"state", InGameScene::INTRO_PAN},
                                                         {"state", InGameScene::INTRO_FOLLOW}};
    for (int target = 0; target < 10; ++target) {
        expected.emplace_back("state", InGameScene::PLAYING);
        expected.emplace_back("state", InGameScene::OBJECTIVE_STORY);
    }
    const std::vector<std::pair<std::string, int>> afterTutorial = {{"state", InGameScene::LEVEL_COMPLETE},
                                                                    {"scene", 13},
                                                                    {"scene", 9},
                                                                    {"state", InGameScene::LEVEL_STORY},
                                                                    {"state", InGameScene::INTRO_PAN},
                                                                    {"state", InGameScene::INTRO_FOLLOW},
                                                                    {"state", InGameScene::PLAYING},
                                                                    {"state", InGameScene::OBJECTIVE_STORY},
                                                                    {"state", InGameScene::PLAYING},
                                                                    {"state", InGameScene::OBJECTIVE_STORY},
                                                                    {"state", InGameScene::LEVEL_COMPLETE},
                                                                    {"scene", 13}};
    expected.insert(expected.end(), afterTutorial.begin(), afterTutorial.end());
    EXPECT_EQ(order, expected);
}

}  // namespace
