// The in-game scene's level view (its first loading stage, all eight steps)
// on the largest level a level file may hold: 512 x 512 cells of 32 px with
// about 4000 objects (target 20 ms). The game's art packs come from the
// build's rsc/; the level has no background decorations, since no
// decoration packs exist yet.
#include <string>

#include "bench_level_support.h"
#include "bench_support.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyObject.h"
#include "com_ventrix_utility_ResManager.h"
#include "hal_system.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_LevelLoader.h"
#include "ts_util_FastRandom.h"

namespace benchingame {
namespace {

using benchlevels::LevelCanvas;

void BM_InGameLevelViewOfTheLargestLevel(benchmark::State& state) {
    benchBoot();
    using com::ventrix::common::Main;
    const std::string folder = std::string(VESSILO_BENCH_TEST_FOLDER) + "../";
    HAL_setProgramDirectory(folder.c_str());
    // 512 x 512 cells, every object type but the decorations.
    VMPtr<LevelCanvas> canvas = benchlevels::servingCanvas(benchlevels::levelStream(512, 512, 27, false));
    _VM_ensureInitialized(com::ventrix::utility::MyObject::_VM_classRecord);
    com::ventrix::utility::MyObject::canvas = canvas;
    Main::levelLoader = scene::ingame::LevelLoader::create()->construct();
    VMPtr<scene::ingame::LevelLoader> loader = Main::levelLoader;
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    sam::SamGameSave::currentLevel = 0;
    for (auto _ : state) {
        loader->currentLevel = scene::ingame::LevelLoader::NO_LEVEL;
        VMPtr<scene::ingame::InGameScene> scene = scene::ingame::InGameScene::create()->construct();
        do scene->loadStage0();
        while (scene->stage0Busy != 0);
        if (scene->failed || scene->cellLayer == nullptr) state.SkipWithError("the level view failed");
        scene->dispose();
        com::ventrix::utility::ResManager::clear();
    }
    Main::levelLoader = nullptr;
    Main::canvas = nullptr;
    HAL_setProgramDirectory(nullptr);
}
BENCHMARK(BM_InGameLevelViewOfTheLargestLevel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace benchingame

namespace benchingame {
namespace {

// One whole in-game frame in play (the scene's update: its objects, the pad,
// the state machine and the camera; then its paint into the screen buffer)
// on the largest level, the camera following the player; and the
// update alone. Targets: frame median 2 ms (worst 8 ms) of the 40 ms frame,
// update 0.5 ms.
struct PlayingLevel {
    // First: the runtime is booted before the references below are made.
    struct Boot {
        Boot() { benchBoot(); }
    } boot;
    VMPtr<benchlevels::LevelCanvas> canvas;
    VMPtr<scene::ingame::InGameScene> scene;
    VMPtr<javax::microedition::lcdui::Image> screen;
    VMPtr<javax::microedition::lcdui::Graphics> g;

    PlayingLevel() {
        using com::ventrix::common::Main;
        const std::string folder = std::string(VESSILO_BENCH_TEST_FOLDER) + "../";
        HAL_setProgramDirectory(folder.c_str());
        canvas = benchlevels::servingCanvas(benchlevels::levelStream(512, 512, 27, false));
        canvas->setFrameTime(40);
        _VM_ensureInitialized(com::ventrix::utility::MyObject::_VM_classRecord);
        com::ventrix::utility::MyObject::canvas = canvas;
        Main::levelLoader = scene::ingame::LevelLoader::create()->construct();
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        sam::SamGameSave::currentLevel = 0;
        Main::random = ts::util::FastRandom::create()->construct(jlong(12345));
        // The game's text table and fonts, for the overlays.
        VMPtr<com::ventrix::utility::MyFont> font = com::ventrix::utility::MyFont::getInstance();
        font->loadTexts(0x5000);
        VMPtr<VMInts> fonts = VMInts::create(2);
        (*fonts)[0] = 0x4C00;
        (*fonts)[1] = 0x4C01;
        font->setFontResourceIds(fonts);
        scene = scene::ingame::InGameScene::create()->construct();
        do scene->loadStage0();
        while (scene->stage0Busy != 0);
        do scene->loadStage1();
        while (scene->stage1Busy != 0);
        scene->loadStage2();
        scene->trimObjects();
        scene->sortPaintOrder();
        scene->loading = false;
        scene->update();  // the restart
        // In play, the camera on the player as the intro leaves it.
        scene->storyBoard->setVisible(false);
        scene->storyBoard->setActive(false);
        scene->screen->setVisible(true);
        scene::ingame::InGameObject::frozen = false;
        scene->state = scene::ingame::InGameScene::PLAYING;
        scene->step = 0;
        screen = javax::microedition::lcdui::Image::createImage(480, 640);
        g = screen->getGraphics();
    }
    ~PlayingLevel() {
        scene->dispose();
        com::ventrix::utility::ResManager::clear();
        com::ventrix::common::Main::levelLoader = nullptr;
        com::ventrix::common::Main::canvas = nullptr;
        HAL_setProgramDirectory(nullptr);
    }
};

void BM_InGameFrameOfTheLargestLevel(benchmark::State& state) {
    PlayingLevel level;
    if (level.scene->failed) state.SkipWithError("the level did not load");
    for (auto _ : state) {
        level.scene->update();
        level.scene->paint(level.g);
    }
}
BENCHMARK(BM_InGameFrameOfTheLargestLevel)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_InGameUpdateOfTheLargestLevel(benchmark::State& state) {
    PlayingLevel level;
    if (level.scene->failed) state.SkipWithError("the level did not load");
    for (auto _ : state) level.scene->update();
}
BENCHMARK(BM_InGameUpdateOfTheLargestLevel)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
}  // namespace benchingame
