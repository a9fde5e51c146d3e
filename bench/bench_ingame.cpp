// The in-game scene's level view (its first loading stage, all eight steps)
// on the largest level a level file may hold: 512 x 512 cells of 32 px with
// about 4000 objects (target 20 ms). The game's art packs come from the
// build's rsc/; the level has no background decorations, since no
// decoration packs exist yet.
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "bit_writer.h"
#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyObject.h"
#include "com_ventrix_utility_ResManager.h"
#include "hal_system.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_LevelLoader.h"

namespace benchingame {

// Serves one level stream for every level number.
class LevelCanvas : public com::ventrix::common::CommonCanvas {
    VM_DECLARE_CLASS(LevelCanvas, com::ventrix::common::CommonCanvas)

public:
    VMField<VMBytes> level;
    using CommonCanvas::loadLevel;
    jboolean loadLevel(jint) override {
        VMPtr<VMBytes> data = level;
        return loadLevel(data);
    }
    void markReferences(uint32_t bits) override {
        CommonCanvas::markReferences(bits);
        _VM_markRef(level, bits);
    }
};

}  // namespace benchingame

VM_REGISTER_CLASS(benchingame::LevelCanvas, .name = "benchingame.LevelCanvas")

namespace benchingame {
namespace {

constexpr int kTile = 32;

void group(BitWriter& out, int type, int count, int widthPx, int heightPx,
           const std::function<void(BitWriter&, int)>& fields) {
    out.put(10, uint32_t(type)).put(12, uint32_t(count));
    std::vector<uint32_t> positions;
    for (int i = 0; i < count; ++i) {
        const int x = int((uint32_t(i) * 2654435761u >> 7) % uint32_t(widthPx));
        const int y = int((uint32_t(i) * 40503u + uint32_t(type) * 977u) % uint32_t(heightPx - 8));
        positions.push_back(uint32_t(y) * uint32_t(widthPx) + uint32_t(x));
    }
    std::sort(positions.begin(), positions.end());
    uint32_t largest = 0, previous = 0;
    for (uint32_t p : positions) largest = std::max(largest, p - previous), previous = p;
    int bits = 0;
    while (bits < 31 && (largest >> bits) != 0) ++bits;
    out.put(16, 0).put(16, 0).put(16, uint32_t(widthPx)).put(5, uint32_t(bits));
    previous = 0;
    for (uint32_t p : positions) out.put(bits, p - previous), previous = p;
    for (int i = 0; i < count; ++i) fields(out, i);
}

// 512 x 512 cells over the game's airport tiles (0x580C), every object type
// but the decorations.
std::vector<uint8_t> largestLevel() {
    const int width = 512, height = 512, n = 27;
    BitWriter out;
    out.put(8, 0).put(1, 0);
    out.put(1, 1).put(8, 0).put(12, 8).put(17, 0x580C).put(10, kTile).put(10, kTile).put(1, 0).put(12, 8);
    for (int t = 1; t <= 8; ++t) out.put(1, 0).put(12, uint32_t(t)).put(12, 0);
    out.put(1, 1).put(12, uint32_t(width)).put(12, uint32_t(height));
    for (int i = 0; i < width * height; ++i) out.put(12, uint32_t(i % 9));
    const int w = width * kTile, h = height * kTile;
    const int paths = 15 * n;
    out.put(1, 1).put(10, 12);
    group(out, 6, 35 * n, w, h, [](BitWriter& o, int i) { o.put(16, 2).put(16, uint32_t(i % 4)); });
    group(out, 24, 2 * paths, w, h, [](BitWriter& o, int i) {
        o.put(16, uint32_t(i / 2)).put(16, uint32_t(i % 2 + 1)).put(16, i % 2 == 0 ? 2 : 0).put(16, 0);
    });
    group(out, 1, paths, w, h, [](BitWriter& o, int i) { o.put(3, 0).put(16, uint32_t(i)); });
    group(out, 10, 10 * n, w, h, [](BitWriter& o, int i) { o.put(4, uint32_t(i % 12)).put(16, 0); });
    group(out, 9, 10 * n, w, h,
          [](BitWriter& o, int i) { o.put(4, uint32_t(i % 14)).put(16, 1).put(16, 2).put(16, 0); });
    group(out, 8, 8 * n, w, h, [](BitWriter& o, int i) { o.put(3, uint32_t(i % 6)).put(16, 0); });
    group(out, 2, 8 * n, w, h, [](BitWriter& o, int i) { o.put(2, uint32_t(i % 3)).put(1, 0).put(16, 0).put(16, 0); });
    group(out, 7, 4 * n, w, h, [](BitWriter&, int) {});
    group(out, 14, 3 * n, w, h, [](BitWriter& o, int i) { o.put(2, uint32_t(i % 4)); });
    group(out, 23, 5 * n, w, h, [](BitWriter& o, int i) { o.put(4, uint32_t(i % 12)).put(16, uint32_t(i)); });
    group(out, 22, 1, w, h, [](BitWriter&, int) {});
    group(out, 21, 1, w, h, [](BitWriter& o, int) { o.put(7, 0); });
    return out.bytes();
}

void BM_InGameLevelViewOfTheLargestLevel(benchmark::State& state) {
    benchBoot();
    using com::ventrix::common::Main;
    const std::string folder = std::string(VESSILO_BENCH_TEST_FOLDER) + "../";
    HAL_setProgramDirectory(folder.c_str());
    VMPtr<LevelCanvas> canvas = LevelCanvas::create();
    canvas->construct(nullptr);
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    const std::vector<uint8_t> bytes = largestLevel();
    VMPtr<VMBytes> data = VMBytes::create(jint(bytes.size()));
    std::memcpy(data->elements(), bytes.data(), bytes.size());
    canvas->level = data;
    _VM_ensureInitialized(Main::_VM_classRecord);
    Main::canvas = canvas;
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
