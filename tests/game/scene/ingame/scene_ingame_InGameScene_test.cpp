// The in-game scene: construction for scenes 9 and 12, the level view's
// steps, the overlays, and the way out for a level that cannot be played.
#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "scene_test_support.h"
#include "java_lang_Exception.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_MyListMenu.h"

using com::ventrix::ui::LoadingPage;
using scene::ingame::InGameObject;
using scene::ingame::InGameScene;
using scene::ingame::MyListMenu;

namespace {

class InGameSceneTest : public ingamescene::SceneFixture {
protected:
    // Runs stage 0 to its end, noting the counter before each call and the
    // counter at which the level was read.
    std::vector<jint> runViewStage(InGameScene* s, jint* readAt = nullptr) {
        std::vector<jint> counters;
        do {
            counters.push_back(s->stage0Busy);
            const size_t asked = levels->asked.size();
            s->loadStage0();
            if (readAt != nullptr && levels->asked.size() != asked) *readAt = counters.back();
        } while (s->stage0Busy != 0 && counters.size() < 20);
        return counters;
    }
};

TEST_F(InGameSceneTest, ScenesNineAndTwelve) {
    sam::SamGameSave::currentLevel = 3;
    VMPtr<InGameScene> level = InGameScene::create()->construct();
    EXPECT_EQ(LoadingPage::getInstance()->total, 23);
    EXPECT_EQ(sam::SamGameSave::currentLevel, 3);
    EXPECT_FALSE(level->quietOnResume);
    EXPECT_NE(level->pointer.get(), nullptr);
    EXPECT_NE(level->key.get(), nullptr);

    VMPtr<InGameScene> tutorial = InGameScene::create()->construct(12);
    EXPECT_EQ(LoadingPage::getInstance()->total, 15);
    EXPECT_EQ(sam::SamGameSave::currentLevel, -1);
    EXPECT_TRUE(tutorial->quietOnResume);

    // Without a tile layer the scene draws nothing of its own.
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    tutorial->paintScene(g);
    EXPECT_TRUE(g->log.empty());
}

TEST_F(InGameSceneTest, LevelViewRunsItsStepsAndReadsTheLevelInStepFour) {
    serve(2, ingamescene::smallLevel());
    sam::SamGameSave::currentLevel = 2;
    VMPtr<InGameScene> s = InGameScene::create()->construct();
    jint readAt = -1;
    EXPECT_EQ(runViewStage(s.get(), &readAt), (std::vector<jint>{0, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(readAt, 4);
    EXPECT_EQ(levels->asked, (std::vector<jint>{0x5803}));
    EXPECT_EQ(LoadingPage::getInstance()->progress, 8);
    EXPECT_TRUE(manager->asked.empty());

    EXPECT_EQ(s->levelLoader.get(), loader);
    EXPECT_EQ(InGameObject::levelLoader.get(), loader);
    EXPECT_FALSE(InGameObject::frozen);
    // 40 x 16 tiles of 32: a view 480 wide and as high as the world.
    EXPECT_EQ((std::vector<jint>{s->worldWidth, s->worldHeight, s->viewWidth, s->viewHeight}),
              (std::vector<jint>{1280, 512, 480, 512}));
    EXPECT_EQ((std::vector<jint>{InGameObject::viewWidth, InGameObject::viewHeight, InGameObject::depthStep}),
              (std::vector<jint>{1440, 1536, 128}));
    ASSERT_NE(s->cellLayer.get(), nullptr);
    EXPECT_EQ(s->cellLayer->getCell(3, 2), 1 + (3 + 2) % 2);
    // The screen below the level is painted black before the tiles; a level
    // that fills the screen paints no strip.
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    s->paintScene(g);
    EXPECT_EQ(g->only("fill"), std::vector<std::string>{"fill 0 512 480 128 #000000"});
    s->viewHeight = 640;
    s->viewWidth = 400;
    g = scenetest::logGraphics();
    s->paintScene(g);
    EXPECT_EQ(g->only("fill"), std::vector<std::string>{"fill 400 0 80 640 #000000"});
    s->viewWidth = 480;
    g = scenetest::logGraphics();
    s->paintScene(g);
    EXPECT_TRUE(g->only("fill").empty());
    s->viewHeight = 512;

    // The head-up display: six slots, hidden, and room for its rectangles.
    com::ventrix::ui::Screen* hud = s->screen.get();
    ASSERT_NE(hud, nullptr);
    EXPECT_EQ(hud->getSlotCount(), 6);
    EXPECT_EQ(hud->getLayer(), 100);
    EXPECT_FALSE(hud->isVisible());
    VMPtr<VMInts> bar = paneltest::PanelTest::ints({10, 20, 30, 4});
    hud->setRect(2, bar, 0x00FF00);
    EXPECT_EQ((*hud->rects->get(2))[2], 30);
    ASSERT_NE(s->gamePad.get(), nullptr);
    EXPECT_EQ(scene::ingame::GamePad::getInstance().get(), s->gamePad.get());
    EXPECT_TRUE(s->overlayScreenA->backgroundVisible);
    EXPECT_FALSE(s->overlayScreenA->isVisible());
    EXPECT_EQ(s->overlayScreenB->getSlotCapacity(), 2);

    // A second run keeps the tile layer and does not read the level again.
    ts::CellLayer* layer = s->cellLayer.get();
    runViewStage(s.get());
    EXPECT_EQ(s->cellLayer.get(), layer);
    EXPECT_EQ(levels->asked.size(), 1u);
    s->dispose();
}

TEST_F(InGameSceneTest, OverlaysPausePanelMenuQuestionAndBoard) {
    serve(0, ingamescene::smallLevel());
    VMPtr<InGameScene> s = InGameScene::create()->construct();
    runViewStage(s.get());
    do s->loadStage1();
    while (s->stage1Busy != 0 && !s->failed);
    EXPECT_FALSE(s->failed);
    s->loadStage2();
    EXPECT_EQ(s->stage2Busy, 0);
    EXPECT_EQ(LoadingPage::getInstance()->progress, 24);  // finished

    com::ventrix::ui::Screen* panel = s->pausePanel.get();
    EXPECT_EQ(panel->getSlotCount(), 4);
    EXPECT_EQ(panel->getSlotIndex(0), 3);  // closed
    EXPECT_EQ(panel->getLayer(), 120);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->getSlotY(2), panel->getSlotY(1));

    auto* menu = dynamic_cast<MyListMenu*>(s->panel.get());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(leveltest::ints(menu->items.get()), (std::vector<jint>{9, 26, 16}));
    EXPECT_EQ(menu->visibleRows, 3);
    EXPECT_TRUE(menu->isActive());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(menu->getLayer(), 125);
    EXPECT_EQ(menu->labelCount, 1);

    EXPECT_EQ(s->confirmDialog->labelCount, 2);
    EXPECT_EQ(s->confirmDialog->getLayer(), 126);
    EXPECT_FALSE(s->confirmDialog->isActive());
    EXPECT_FALSE(s->confirmOpen);
    EXPECT_EQ(s->storyBoard->getLayer(), 120);
    EXPECT_TRUE(s->storyBoard->scrollable);
    EXPECT_GT(s->storyBoard->lineCount, 0);
    s->dispose();
}

// Every shipped level, the tutorial (scene 12) first, runs the level view on
// the game's own packs: its tile set and every decoration load.
TEST_F(InGameSceneTest, EveryShippedLevelPassesTheLevelView) {
    for (jint level = -1; level <= 10; ++level) {
        const std::string name = level < 0 ? "tutorial" : "level" + std::to_string(level);
        SCOPED_TRACE(name);
        std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/" + name + ".json");
        std::stringstream text;
        text << in.rdbuf();
        ASSERT_TRUE(in);
        const nlohmann::json file = nlohmann::json::parse(text.str());
        size_t decorations = 0;
        for (const nlohmann::json& group : file["objects"]) {
            const int type = group["type"];
            if (type == 0 || type == 3 || type == 11 || type == 15 || type == 18)
                decorations += group["objects"].size();
        }
        serve(level, file);
        manager->asked.clear();
        sam::SamGameSave::currentLevel = level;
        VMPtr<InGameScene> s = level < 0 ? InGameScene::create()->construct(12) : InGameScene::create()->construct();
        testing::internal::CaptureStdout();
        runViewStage(s.get());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_FALSE(s->failed);
        EXPECT_TRUE(manager->asked.empty());
        ASSERT_NE(s->cellLayer.get(), nullptr);
        EXPECT_GT(decorations, 0u);
        EXPECT_EQ(size_t(s->cellLayer->fixedCount), decorations);
        // A map given as text rows is as wide as its first row.
        nlohmann::json firstRow = file["map"].contains("rows") ? file["map"]["rows"][0] : nlohmann::json();
        while (firstRow.is_object()) firstRow = firstRow["rows"][0];
        const jint columns =
            firstRow.is_string() ? jint(firstRow.get<std::string>().size()) : jint(file["map"]["width"]);
        EXPECT_EQ(s->worldWidth, columns * 32);
        s->dispose();
    }
}

TEST_F(InGameSceneTest, ALevelThatCannotBePlayedLeavesWithOneLine) {
    struct Case {
        const char* what;
        jint level;  // -1: scene 12
        std::function<void()> serveIt;
        jint scene;
        const char* line;
    };
    auto missingImage = ingamescene::smallLevel();
    missingImage["tileSet"]["image"] = 24576 + 60;
    const std::vector<Case> cases = {
        {"missing level", 7, [] {}, 10, "Level 7 not loaded: "},
        {"refused tutorial", -1,
         [&] {
             serveBytes(-1, {0xFF, 0x00, 0x12});
         },
         1, "Level -1 not loaded: "},
        {"missing tile image", 0, [&] { serve(0, missingImage); }, 10, "Level 0 not loaded: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        levels->levels.clear();
        levels->asked.clear();
        manager->asked.clear();
        sam::SamGameSave::currentLevel = c.level;
        c.serveIt();
        VMPtr<InGameScene> s = c.level < 0 ? InGameScene::create()->construct(12) : InGameScene::create()->construct();
        testing::internal::CaptureStdout();
        s->init();  // every stage at once: the failing one ends the loading
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(manager->asked, (std::vector<jint>{c.scene}));
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        EXPECT_EQ(out.rfind(c.line, 0), 0u) << out;
        EXPECT_TRUE(s->failed);
        EXPECT_EQ(s->pausePanel.get(), nullptr);  // no later stage ran
        s->dispose();
    }
}

}  // namespace

namespace {

// The level over the test sheet's tiles with the head-up display and the pad,
// then with the pause panel and its menu open; and the story board.
TEST_F(InGameSceneTest, GoldenHudPausePanelAndStoryBoard) {
    const GoldenTolerance text{48, 0.004};
    serve(0, ingamescene::smallLevel());
    VMPtr<InGameScene> s = InGameScene::create()->construct();
    runViewStage(s.get());
    s->loadStage2();
    s->trimObjects();
    s->sortPaintOrder();
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, 640);
    VMPtr<javax::microedition::lcdui::Graphics> g = image->getGraphics();
    auto draw = [&] {
        g->setColor(0x203040);
        g->fillRect(0, 0, 480, 640);
        s->paint(g);
    };
    s->storyBoard->setVisible(false);
    s->screen->setVisible(true);
    draw();
    EXPECT_TRUE(matchesGolden("game", "ingame_hud", scenetest::pictureOfImage(image), text));

    s->pausePanel->setVisible(true);
    s->pausePanel->setSlotIndex(0, 1);  // open
    s->panel->setVisible(true);
    draw();
    EXPECT_TRUE(matchesGolden("game", "ingame_pause", scenetest::pictureOfImage(image), text));

    s->pausePanel->setVisible(false);
    s->panel->setVisible(false);
    s->storyBoard->setVisible(true);
    draw();
    EXPECT_TRUE(matchesGolden("game", "ingame_story_board", scenetest::pictureOfImage(image), text));
    s->dispose();
}

}  // namespace
