// The in-game scene's level view (its first loading stage, all eight steps)
// on the largest level a level file may hold: 512 x 512 cells of 32 px with
// about 4000 objects, of them 542 airport decorations (target 20 ms). The
// game's art packs come from the build's rsc/.
#include <string>

#include "bench_level_support.h"
#include "bench_support.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyObject.h"
#include "com_ventrix_utility_ResManager.h"
#include "hal_system.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_LevelLoader.h"

namespace benchingame {
namespace {

using benchlevels::LevelCanvas;

void BM_InGameLevelViewOfTheLargestLevel(benchmark::State& state) {
    benchBoot();
    using com::ventrix::common::Main;
    const std::string folder = std::string(VESSILO_BENCH_TEST_FOLDER) + "../";
    HAL_setProgramDirectory(folder.c_str());
    // 512 x 512 cells, every object type.
    VMPtr<LevelCanvas> canvas = benchlevels::servingCanvas(benchlevels::levelStream(512, 512, 27, true));
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
