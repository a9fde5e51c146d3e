// The people of a level: one frame of every watcher's and bystander's update
// on the largest level a level file may hold (512 x 512 cells of 32 px,
// 270 watchers, 270 bystanders, 216 doors and 945 walls), with the game's
// art packs from the build's rsc/. Target at -O2: at most 1 ms a frame.
#include <string>
#include <vector>

#include "bench_level_support.h"
#include "bench_support.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyObject.h"
#include "com_ventrix_utility_ResManager.h"
#include "hal_system.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameGeneralPeople.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_LevelLoader.h"
#include "ts_util_FastRandom.h"

namespace benchpeople {
namespace {

using com::ventrix::common::Main;
using com::ventrix::utility::MyObject;
using com::ventrix::utility::ResManager;
using scene::ingame::InGameDisguisedPeople;
using scene::ingame::InGameGeneralPeople;
using scene::ingame::InGameInteractionItem;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::LevelLoader;

void peopleOneFrameOnTheLargestLevel(benchmark::State& state) {
    VMPtr<benchlevels::LevelCanvas> canvas = benchlevels::servingCanvas(benchlevels::levelStream(512, 512, 27, false));
    _VM_ensureInitialized(MyObject::_VM_classRecord);
    MyObject::canvas = canvas;
    VMPtr<ts::util::FastRandom> random = ts::util::FastRandom::create();
    random->construct(7);
    Main::random = random;
    VMPtr<LevelLoader> loader = LevelLoader::create()->construct();
    Main::levelLoader = loader;
    if (!loader->selectLevel(0)) {
        state.SkipWithError("the level was refused");
        return;
    }
    ResManager::destroy();
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    ResManager::instance = ResManager::create()->construct();
    _VM_ensureInitialized(InGameObject::_VM_classRecord);
    InGameObject::levelLoader = loader;
    InGameObject::setDepthStep(4 * loader->tileHeight);
    InGameObject::setViewSize(480, 640);
    InGameObject::frozen = false;

    // The doors first, as the level build makes them.
    VMPtr<VMIntRows> doorRecords = loader->interactionRecords;
    VMPtr<InGameObject::Objects> doors = InGameObject::Objects::create(doorRecords->length);
    for (jint i = 0; i < doors->length; ++i) {
        VMPtr<InGameInteractionItem> d = InGameInteractionItem::create()->construct();
        d->initFromRecord(i);
        doors->set(i, d);
    }
    for (jint i = 0; i < doors->length; ++i) dynamic_cast<InGameInteractionItem*>(doors->get(i))->resolveOutfit();
    InGameObject::interactionItems = doors;

    VMPtr<VMIntRows> watcherRecords = loader->disguisedRecords;
    VMPtr<VMIntRows> bystanderRecords = loader->generalRecords;
    VMPtr<InGameObject::Objects> people =
        InGameObject::Objects::create(watcherRecords->length + bystanderRecords->length);
    for (jint i = 0; i < watcherRecords->length; ++i) {
        VMPtr<InGameDisguisedPeople> p = InGameDisguisedPeople::create()->construct();
        p->initFromRecord(i);
        people->set(i, p);
    }
    for (jint i = 0; i < bystanderRecords->length; ++i) {
        VMPtr<InGameGeneralPeople> p = InGameGeneralPeople::create()->construct();
        p->initFromRecord(i);
        people->set(watcherRecords->length + i, p);
    }
    // The player stands beside the first watcher, on its row.
    VMPtr<VMInts> first = watcherRecords->get(0);
    VMPtr<InGamePlayer> player = InGamePlayer::create()->construct();
    InGameObject::player = player;
    player->respawn(0, (*first)[1] + 40, (*first)[2]);
    player->updateDepth();

    MyObject::frameTime = 40;
    const jint n = people->length;
    for (auto _ : state) {
        MyObject::frameTime = 40;
        for (jint i = 0; i < n; ++i) people->get(i)->update(0, 0);
    }
    state.counters["people"] = double(n);
    InGameObject::player = nullptr;
    InGameObject::interactionItems = nullptr;
    InGameObject::levelLoader = nullptr;
    Main::levelLoader = nullptr;
    Main::canvas = nullptr;
    MyObject::canvas = nullptr;
    ResManager::destroy();
    HAL_setProgramDirectory(nullptr);
}

void BM_PeopleOneFrameOnTheLargestLevel(benchmark::State& state) {
    benchBoot();
    if (benchUseGameFolder(state)) benchGuarded(state, [&] { peopleOneFrameOnTheLargestLevel(state); });
}
BENCHMARK(BM_PeopleOneFrameOnTheLargestLevel)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace benchpeople
