// A level played in the real frame loop, stepped frame by frame through the
// play harness: the ticks at which the loading ends and the level's opening
// states run, a key and a touch counted in their frames, and the trace of
// scenes and states.
#include "play_harness.h"
#include "scene_test_support.h"
#include "com_ventrix_common_Main.h"
#include "javax_microedition_lcdui_Display.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameScene.h"
#include "ts_test_support.h"

using com::ventrix::common::Main;
using com::ventrix::utility::SceneManager;
using global::GameScene;
using javax::microedition::lcdui::Display;
using playharness::TraceEntry;
using scene::ingame::InGameScene;

namespace looptest {

// Makes the in-game scene for 9 and 12 as the game's factory does; any other
// id only leaves the scene empty.
class LoopManager : public SceneManager {
    VM_DECLARE_CLASS(LoopManager, SceneManager)

public:
    VMPtr<LoopManager> construct() {
        Super::construct();
        return this;
    }
    void setupFonts() override {}
    void setupLoadingPage() override {}
    void createGameSave() override {}
    void createScene() override {
        if (currentSceneId != GameScene::LEVEL && currentSceneId != GameScene::TUTORIAL) return;
        VMPtr<InGameScene> s = currentSceneId == GameScene::TUTORIAL ? InGameScene::create()->construct(currentSceneId)
                                                                      : InGameScene::create()->construct();
        scene = s;
        s->startLoading(currentSceneId == GameScene::LEVEL ? 1 : 0);
    }
};

}  // namespace looptest

VM_REGISTER_CLASS(looptest::LoopManager, .name = "looptest.LoopManager",
                  .sourceName = "tests/game/scene/ingame/scene_ingame_InGameScene_loop_test")

namespace {

nlohmann::json levelWithKey(bool key) {
    nlohmann::json level = ingamescene::smallLevel();
    if (key)
        level["objects"].push_back(
            {{"type", 14}, {"span", 1000}, {"objects", {{{"x", 300}, {"y", 480}, {"kind", 1}}}}});
    return level;
}

class LoopTest : public ingamescene::SceneFixture {
protected:
    // Scene 9 for level 0 entered in the first tick of a shown canvas whose
    // loop the harness steps.
    void start(const nlohmann::json& level) {
        midlet = tstest::IdleMIDlet::create()->construct();
        VMPtr<leveltest::LevelCanvas> c = leveltest::LevelCanvas::create();
        c->construct(midlet);
        c->levels[0x5801] = leveltest::levelBytes(level);
        game = c;
        controller = Main::create()->construct(c);
        // The key singleton reads the canvas of its making: this one's.
        com::ventrix::utility::MyKey::instance = nullptr;
        manager = looptest::LoopManager::create()->construct();
        SceneManager::instance = manager;
        manager->changeScene(GameScene::LEVEL);
        controller->setSceneManager(manager);
        sam::SamGameSave::currentLevel = 0;
        harness.attach(c);
        Display::getDisplay(midlet)->setCurrent(c);
    }
    void TearDown() override {
        harness.detach();
        if (game != nullptr)
            game->ts::TsCanvas::onEvent(ts::TsCanvas::EVENT_EXIT);  // the loop ends; nothing of the game released
        game = nullptr;
        controller = nullptr;
        manager = nullptr;
        midlet = nullptr;
        SceneFixture::TearDown();
    }
    InGameScene* scene() { return dynamic_cast<InGameScene*>(manager->scene.get()); }

    playharness::Harness harness;
    VMPtr<tstest::IdleMIDlet> midlet;
    VMPtr<leveltest::LevelCanvas> game;
    VMPtr<Main> controller;
    VMPtr<looptest::LoopManager> manager;
};

TEST_F(LoopTest, TheRestartRunsInTheTickThatEndsTheLoadingAndTheStoryTwoTicksLater) {
    for (bool key : {true, false}) {
        SCOPED_TRACE(key ? "with a key" : "without keys");
        start(levelWithKey(key));
        ASSERT_TRUE(harness.step());
        EXPECT_EQ(harness.tickOf("scene", GameScene::LEVEL), 1);  // changeScene in the first tick
        ASSERT_TRUE(harness.stepUntil([&] { return harness.inGameState() == InGameScene::LEVEL_STORY; }, 60));
        const int64_t t = harness.ticks;
        EXPECT_EQ(t - 1, key ? 24 : 23);
        EXPECT_FALSE(scene()->loading);
        EXPECT_EQ(scene()->step, 0);
        ASSERT_TRUE(harness.step());
        EXPECT_EQ(scene()->step, 1);
        ASSERT_TRUE(harness.step());
        EXPECT_EQ(scene()->step, 2);
        EXPECT_TRUE(scene()->storyBoard->isActive());
        // The loading's states, then the restart's.
        // States are noted once the scene has loaded: after tick T the
        // restart has run.
        EXPECT_EQ(harness.trace, (std::vector<TraceEntry>{{1, "scene", 9}, {t, "state", InGameScene::LEVEL_STORY}}));
        harness.detach();
        game->ts::TsCanvas::onEvent(ts::TsCanvas::EVENT_EXIT);  // the loop ends; nothing of the game released
        ASSERT_TRUE(vmWaitFor([&] { return !game->thread->isAlive(); }));
        game = nullptr;
    }
}

// Fire pressed before a tick counts in that tick; a tap in the next one.
TEST_F(LoopTest, AKeyCountsInTheNextTickATouchInTheOneAfter) {
    start(levelWithKey(false));
    ASSERT_TRUE(harness.stepUntil([&] { return harness.inGameState() == InGameScene::LEVEL_STORY; }, 60));
    ASSERT_TRUE(harness.step(2));
    ASSERT_EQ(scene()->step, 2);
    // Each confirm turns a page of the level's story in the very tick; the
    // one on its last page closes it.
    for (int page = 0; page < 10 && harness.inGameState() == InGameScene::LEVEL_STORY; ++page) {
        const jint first = scene()->storyBoard->firstLine;
        const bool last = first + scene()->storyBoard->visibleLines >= scene()->storyBoard->lineCount;
        harness.keyDown(ce::VK_RETURN);
        harness.keyUp(ce::VK_RETURN);
        ASSERT_TRUE(harness.step());
        if (!last) {
            EXPECT_GT(scene()->storyBoard->firstLine, first);
        }
        ASSERT_TRUE(harness.step());  // no key: nothing
    }
    EXPECT_EQ(harness.inGameState(), InGameScene::INTRO_PAN);
    EXPECT_EQ(harness.tickOf("state", InGameScene::INTRO_PAN), harness.ticks - 1);

    // Through the pan (its one target at the world's corner, never inside the
    // view: the pan must not wait for its marker) to the target's story,
    // which a tap closes.
    ASSERT_TRUE(harness.stepUntil([&] { return scene()->state == InGameScene::INTRO_FOLLOW && scene()->step == 1; }));
    harness.tap(240, 300);
    ASSERT_TRUE(harness.step());
    EXPECT_EQ(harness.inGameState(), InGameScene::INTRO_FOLLOW) << "polled after the scene's update";
    ASSERT_TRUE(harness.step());
    EXPECT_EQ(harness.inGameState(), InGameScene::PLAYING);
    EXPECT_TRUE(scene()->screen->isVisible());
    // The presented frame is the game's: the display's pause button.
    const Picture shown = harness.frame();
    EXPECT_EQ(shown.width, 480);
    EXPECT_NE(shown.at(450, 20), shown.at(240, 320));
}

}  // namespace
