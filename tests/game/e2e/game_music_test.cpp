// What is heard through a whole run, for each answer to the sound question:
// the question, the tutorial paused, resumed and quit, level 0 chosen in the
// level selection and completed, and the next level. The media manager's
// calls are followed to the piece that sounds on channel 0 at each point.
#include "com_ventrix_utility_MyPointer.h"
#include "com_ventrix_utility_SceneManager.h"
#include "game_run.h"
#include "global_GameScene.h"
#include "scene_ingame_InGameScene.h"

#include <sstream>

using com::ventrix::utility::SceneManager;
using global::GameScene;
using playharness::Harness;
using scene::ingame::InGameScene;

namespace {

constexpr int kMenuTune = 0x5405;     // cue 11
constexpr int kLevel0Tune = 0x5403;   // cue 0
constexpr int kLevel1Tune = 0x5403;   // cue 1
constexpr int kSilence = 0;

class MusicTest : public gamerun::GameRun, public ::testing::WithParamInterface<bool> {
protected:
    // Follows the calls noted since the last look: sound 0 prepared,
    // played on channel 0, stopped.
    int heard() {
        for (const std::string& call : takeSounds()) {
            std::istringstream in(call);
            std::string what;
            int a = -1, b = -1;
            in >> what >> a >> b;
            if (what == "playSound" && a == 0) {
                prepared = b;
                playing = kSilence;
            } else if (what == "playOnChannel" && a == 0 && b == 0) {
                playing = prepared;
            } else if ((what == "stopSound" && a == 0) || (what == "stopChannel" && (a == 0 || a == -1)) ||
                       what == "close") {
                playing = kSilence;
            }
            if (what == "playOnChannel") ++starts;
        }
        return playing;
    }
    // What sounds with the answer given: the piece, or nothing at all.
    int expected(int piece) const { return GetParam() ? piece : kSilence; }

    InGameScene* level() { return dynamic_cast<InGameScene*>(SceneManager::instance->scene.get()); }
    // Confirms the level's stories until play.
    bool toPlay() {
        for (int n = 0; n < 1500 && Harness::inGameState() != InGameScene::PLAYING; ++n) {
            harness.keyDown(ce::VK_RETURN);
            harness.step();
            harness.keyUp(ce::VK_RETURN);
            harness.step();
        }
        return Harness::inGameState() == InGameScene::PLAYING;
    }
    // The pause button, until the pause menu shows.
    bool pause() {
        harness.tap(450, 20);
        return harness.stepUntil([&] { return level()->panel != nullptr && level()->panel->isVisible(); }, 60);
    }
    // Pause menu entry `row` tapped.
    void choose(int row) {
        VMPtr<ts::graphics::CollisionBox> box = com::ventrix::utility::MyPointer::getInstance()->touchBoxes->get(row);
        harness.tap(box->x + box->width / 2, box->y + box->height / 2);
        harness.step(2);
    }

    int prepared = kSilence, playing = kSilence;
    int starts = 0;  // every playOnChannel, whatever it plays
};

TEST_P(MusicTest, TheTunesFollowTheSoundAnswer) {
    start();
    ASSERT_TRUE(stepUntilScene(GameScene::START_SOUND_PAGE, 400));
    ASSERT_TRUE(stepUntilLoaded());
    EXPECT_EQ(heard(), kSilence) << "nothing before the answer";
    harness.tap(240, GetParam() ? 272 : 370);
    ASSERT_TRUE(stepUntilScene(GameScene::MAIN_MENU, 10));
    ASSERT_TRUE(stepUntilLoaded());
    EXPECT_EQ(heard(), expected(kMenuTune)) << "main menu";

    // The tutorial keeps the menu's tune; a pause silences it, resume
    // brings it back.
    harness.tap(240, 472);
    ASSERT_TRUE(stepUntilScene(GameScene::TUTORIAL, 10));
    ASSERT_TRUE(stepUntilLoaded());
    ASSERT_TRUE(toPlay());
    EXPECT_EQ(heard(), expected(kMenuTune)) << "tutorial";
    ASSERT_TRUE(pause());
    EXPECT_EQ(heard(), kSilence) << "paused";
    choose(0);  // resume
    ASSERT_TRUE(harness.stepUntil([] { return Harness::inGameState() == InGameScene::PLAYING; }, 100));
    EXPECT_EQ(heard(), expected(kMenuTune)) << "resumed";

    // Quit: the main menu with its tune.
    ASSERT_TRUE(pause());
    EXPECT_EQ(heard(), kSilence) << "paused again";
    choose(2);
    VMPtr<VMInts> yes = VMInts::create(10);
    ASSERT_GT(level()->pausePanel->getCollisionRects(1, yes, 1), 0);
    harness.tap((*yes)[0] + (*yes)[2] / 2, (*yes)[1] + (*yes)[3] / 2);
    ASSERT_TRUE(stepUntilScene(GameScene::MAIN_MENU, 10));
    ASSERT_TRUE(stepUntilLoaded());
    EXPECT_EQ(heard(), expected(kMenuTune)) << "main menu after the quit";

    // Level 0 from the level selection: its own tune while it is played.
    ASSERT_TRUE(openBriefing());
    harness.tap(412, 592);  // go: the level
    ASSERT_TRUE(stepUntilScene(GameScene::LEVEL, 60));
    ASSERT_TRUE(stepUntilLoaded());
    EXPECT_EQ(heard(), expected(kLevel0Tune)) << "level 0";
    ASSERT_TRUE(playSolution("level0"));
    EXPECT_EQ(heard(), expected(kLevel0Tune)) << "level 0 complete";

    // Completed: the level selection with the menu's tune, then level 1's.
    ASSERT_TRUE(stepUntilScene(GameScene::NEXT_BRIEFING, 200));
    EXPECT_EQ(heard(), expected(kMenuTune)) << "level selection after level 0";
    ASSERT_TRUE(stepUntilScene(GameScene::LEVEL, 400));
    ASSERT_TRUE(stepUntilLoaded());
    EXPECT_EQ(heard(), expected(kLevel1Tune)) << "level 1";
    EXPECT_EQ(prepared, GetParam() ? kLevel1Tune : kSilence);
    if (!GetParam()) {
        EXPECT_EQ(starts, 0) << "with the sound off nothing is ever started";
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, MusicTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "SoundOn" : "SoundOff");
                         });

}  // namespace
