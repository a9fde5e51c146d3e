// The in-game scene on the largest level a level file may hold: 512 x 512
// cells of 32 px with about 4000 objects, of them 542 airport decorations.
// Its level view (the first loading stage, all eight steps; target 20 ms),
// the whole staged load (the level view, the level build's fourteen steps and
// the overlays; target 150 ms in all and no step over 30 ms) and one frame of
// each kind's objects (target 1 ms each). The game's art packs come from the
// build's rsc/.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench_level_support.h"
#include "bench_support.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyObject.h"
#include "com_ventrix_utility_ResManager.h"
#include "hal_system.h"
#include "sam_SamGameSave.h"
#include "ts_util_FastRandom.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameGeneralPeople.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGameKeyItem.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameTargetItem.h"
#include "scene_ingame_InGameTransportItem.h"
#include "scene_ingame_InGameTrap.h"
#include "scene_ingame_LevelLoader.h"
#include "ts_util_FastRandom.h"

namespace benchingame {
namespace {

using benchlevels::LevelCanvas;

void levelViewOfTheLargestLevel(benchmark::State& state) {
    using com::ventrix::common::Main;
    // 512 x 512 cells, every object type, 542 airport decorations among them.
    VMPtr<LevelCanvas> canvas = benchlevels::servingCanvas(benchlevels::levelStream(512, 512, 27, true));
    _VM_ensureInitialized(com::ventrix::utility::MyObject::_VM_classRecord);
    com::ventrix::utility::MyObject::canvas = canvas;
    VMPtr<scene::ingame::LevelLoader> loader = scene::ingame::LevelLoader::create()->construct();
    Main::levelLoader = loader;
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

void BM_InGameLevelViewOfTheLargestLevel(benchmark::State& state) {
    benchBoot();
    if (benchUseGameFolder(state)) benchGuarded(state, [&] { levelViewOfTheLargestLevel(state); });
}
BENCHMARK(BM_InGameLevelViewOfTheLargestLevel)->Unit(benchmark::kMillisecond);

// Everything the staged load reads: the build's rsc/, a canvas serving the
// level with every object type (decorations too), Main's level loader and
// generator.
struct LargestLevel {
    // n = 27: the largest level (512 x 512 cells, about 4000 objects);
    // n = 1: a screenful of play (60 x 20 cells, 150 objects).
    explicit LargestLevel(bool decorations, int n = 27) {
        benchBoot();
        using com::ventrix::common::Main;
        HAL_setProgramDirectory(VESSILO_BENCH_PROGRAM_FOLDER);
        // Kept by Main's and MyObject's statics.
        VMPtr<LevelCanvas> canvas =
            benchlevels::servingCanvas(n == 1 ? benchlevels::levelStream(60, 20, 1, decorations)
                                              : benchlevels::levelStream(512, 512, n, decorations));
        _VM_ensureInitialized(com::ventrix::utility::MyObject::_VM_classRecord);
        com::ventrix::utility::MyObject::canvas = canvas;
        Main::levelLoader = scene::ingame::LevelLoader::create()->construct();
        Main::random = ts::util::FastRandom::create()->construct(7);
        // The overlays' texts and fonts.
        VMPtr<com::ventrix::utility::MyFont> font = com::ventrix::utility::MyFont::getInstance();
        font->loadTexts(0x5000);
        VMPtr<VMInts> fonts = VMInts::create(2);
        (*fonts)[0] = 0x4C00;
        (*fonts)[1] = 0x4C01;
        font->setFontResourceIds(fonts);
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        sam::SamGameSave::currentLevel = 0;
    }
    ~LargestLevel() {
        using com::ventrix::common::Main;
        Main::levelLoader = nullptr;
        Main::random = nullptr;
        Main::canvas = nullptr;
        HAL_setProgramDirectory(nullptr);
    }
    // A new scene through all its loading steps; the longest step in ms.
    VMPtr<scene::ingame::InGameScene> load(double& longest) {
        VMPtr<scene::ingame::LevelLoader> loader = scene::ingame::LevelLoader::getInstance();
        loader->currentLevel = scene::ingame::LevelLoader::NO_LEVEL;
        VMPtr<scene::ingame::InGameScene> scene = scene::ingame::InGameScene::create()->construct();
        longest = 0;
        auto timed = [&](jint stage, jint counter, auto stepOnce) {
            const auto start = std::chrono::steady_clock::now();
            stepOnce();
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            if (took.count() > longest) longestStep = 100 * stage + counter;
            longest = std::max(longest, took.count());
        };
        do timed(0, scene->stage0Busy, [&] { scene->loadStage0(); });
        while (scene->stage0Busy != 0);
        do timed(1, scene->stage1Busy, [&] { scene->loadStage1(); });
        while (scene->stage1Busy != 0);
        do timed(2, scene->stage2Busy, [&] { scene->loadStage2(); });
        while (scene->stage2Busy != 0);
        return scene;
    }
    jint longestStep = -1;  // stage x 100 + the stage's counter before the step
};

void stagedLoadOfTheLargestLevel(benchmark::State& state) {
    LargestLevel level(true, int(state.range(0)));
    double longest = 0;
    for (auto _ : state) {
        double step = 0;
        VMPtr<scene::ingame::InGameScene> scene = level.load(step);
        longest = std::max(longest, step);
        if (scene->failed || scene->player == nullptr) {
            state.SkipWithError("the level did not load");
            break;
        }
        state.PauseTiming();
        scene->dispose();
        com::ventrix::utility::ResManager::clear();
        state.ResumeTiming();
    }
    state.counters["longest step ms"] = longest;
    state.counters["longest step"] = level.longestStep;
}

void BM_InGameStagedLoadOfTheLargestLevel(benchmark::State& state) {
    benchBoot();
    if (benchUseGameFolder(state)) benchGuarded(state, [&] { stagedLoadOfTheLargestLevel(state); });
}
BENCHMARK(BM_InGameStagedLoadOfTheLargestLevel)->Arg(27)->Arg(1)->Unit(benchmark::kMillisecond);

// One frame of one kind: every object of the kind updated once, as the
// scene does, the world unfrozen.
void oneFrameOfAKind(benchmark::State& state) {
    using namespace scene::ingame;
    LargestLevel level(true);
    double longest = 0;
    VMPtr<InGameScene> scene = level.load(longest);
    if (scene->failed) {
        state.SkipWithError("the level did not load");
        return;
    }
    InGameObject::frozen = false;
    const char* names[] = {"keys", "traps", "bystanders", "watchers", "doors", "targets", "transports", "player"};
    VMPtr<InGameObject::Objects> kinds[] = {
        scene->keyItems,         scene->traps,       scene->generalPeople,  scene->disguisedPeople,
        scene->interactionItems, scene->targetItems, scene->transportItems, nullptr};
    const int kind = int(state.range(0));
    VMPtr<InGameObject::Objects> objects = kinds[kind];
    VMPtr<InGamePlayer> player = scene->player;
    player->setExposed(true);  // as in play: every kind tests it
    for (auto _ : state) {
        com::ventrix::utility::MyObject::frameTime = 40;
        if (objects == nullptr) {
            player->update(0, 0);
            continue;
        }
        for (jint i = 0; i < objects->length; ++i) objects->get(i)->update(0, 0);
    }
    state.SetLabel(names[kind]);
    state.counters["objects"] = objects == nullptr ? 1 : objects->length;
    scene->dispose();
    com::ventrix::utility::ResManager::clear();
}

void BM_InGameOneFrameOfAKind(benchmark::State& state) {
    benchBoot();
    if (benchUseGameFolder(state)) benchGuarded(state, [&] { oneFrameOfAKind(state); });
}
BENCHMARK(BM_InGameOneFrameOfAKind)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

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
        HAL_setProgramDirectory(VESSILO_BENCH_PROGRAM_FOLDER);
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

void frameOfTheLargestLevel(benchmark::State& state) {
    PlayingLevel level;
    if (level.scene->failed) state.SkipWithError("the level did not load");
    double worst = 0;
    jint slow = 0;  // frames over 4 ms: the rare ones (a collection) apart from preemption
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        level.scene->update();
        level.scene->paint(level.g);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        worst = std::max(worst, took.count());
        if (took.count() > 4) ++slow;
    }
    state.counters["worst frame ms"] = worst;
    state.counters["frames over 4 ms"] = slow;
}

void BM_InGameFrameOfTheLargestLevel(benchmark::State& state) {
    benchBoot();
    if (benchUseGameFolder(state)) benchGuarded(state, [&] { frameOfTheLargestLevel(state); });
}
// Besides the mean, median and spread of the repetitions, "worst": the
// largest of them, so that its "worst frame ms" is the worst single frame of
// every repetition (the mean of each repetition's worst would hide it).
BENCHMARK(BM_InGameFrameOfTheLargestLevel)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("worst", +[](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->ReportAggregatesOnly();

void updateOfTheLargestLevel(benchmark::State& state) {
    PlayingLevel level;
    if (level.scene->failed) state.SkipWithError("the level did not load");
    for (auto _ : state) level.scene->update();
}

void BM_InGameUpdateOfTheLargestLevel(benchmark::State& state) {
    benchBoot();
    if (benchUseGameFolder(state)) benchGuarded(state, [&] { updateOfTheLargestLevel(state); });
}
BENCHMARK(BM_InGameUpdateOfTheLargestLevel)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
}  // namespace benchingame
