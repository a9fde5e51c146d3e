// The level loader: selectLevel of a level of 60 x 20 cells with 150
// objects (a screenful of play, target 1 ms) and of 512 x 512 cells with
// 4000 objects (the largest level, target 30 ms), every object type mixed.
#include "bench_level_support.h"
#include "bench_support.h"
#include "com_ventrix_common_Main.h"
#include "scene_ingame_LevelLoader.h"
#include "vm_boot.h"

namespace benchlevels {
namespace {

void selectLevel(benchmark::State& state, int width, int height, int n) {
    benchBoot();
    using com::ventrix::common::Main;
    VMPtr<LevelCanvas> canvas = servingCanvas(levelStream(width, height, n, true));
    VMPtr<scene::ingame::LevelLoader> loader = scene::ingame::LevelLoader::create()->construct();
    Main::levelLoader = loader;
    for (auto _ : state) {
        loader->currentLevel = scene::ingame::LevelLoader::NO_LEVEL;
        if (!loader->selectLevel(0)) state.SkipWithError("the level was refused");
    }
    state.counters["objects"] = double(148 * n + 2 + (n > 1 ? 2 : 0));
    Main::levelLoader = nullptr;
    Main::canvas = nullptr;
}

void BM_LevelLoaderSelect60x20With150Objects(benchmark::State& state) { selectLevel(state, 60, 20, 1); }
BENCHMARK(BM_LevelLoaderSelect60x20With150Objects)->Unit(benchmark::kMicrosecond);

void BM_LevelLoaderSelect512x512With4000Objects(benchmark::State& state) { selectLevel(state, 512, 512, 27); }
BENCHMARK(BM_LevelLoaderSelect512x512With4000Objects)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace benchlevels
