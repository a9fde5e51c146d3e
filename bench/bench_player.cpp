// The in-game player. Target at -O2:
//   BM_PlayerWalkPast20Walls   at most 5 us for one frame of a walking player
//                              whose row holds 20 walls that it tests and
//                              does not reach
#include <benchmark/benchmark.h>

#include "VM.h"
#include "bench_support.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyObject.h"
#include "com_ventrix_utility_MyPointer.h"
#include "com_ventrix_utility_ResManager.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_io_DataInputStream.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_LevelLoader.h"

namespace benchplayer {

using com::ventrix::utility::ResManager;
using scene::ingame::GamePad;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::LevelLoader;

// Right held, nothing else.
class RightKey : public com::ventrix::utility::MyKey {
    VM_DECLARE_CLASS(RightKey, com::ventrix::utility::MyKey)

public:
    jboolean isPressed(jint) override { return false; }
    jboolean isHeld(jint action) override { return action == 16; }
};

// 28 one-step animations of frame 0 (frames 0 and 1 alike; box 0: the body, (-5, -20, 10, 20));
// 1 walks 4 pixels a 40 ms step.
VMPtr<ts::AnimSet> bodySet() {
    AnimSetWriter w;
    const int animations = 28;
    w.byte(0);
    w.u16(animations);
    for (int a = 0; a < animations; ++a) w.count(1);
    for (int a = 0; a < animations; ++a) w.value(-1);
    for (int a = 0; a < animations; ++a) w.count(0);  // duration 0
    for (int a = 0; a < animations; ++a) w.count(0);  // frame 0
    for (int a = 0; a < animations; ++a) w.value(a == 1 ? 4 : 0);
    for (int a = 0; a < animations; ++a) w.value(0);
    // Two frames alike (the pad shows frames 0 and 1).
    w.u16(2);
    for (int f = 0; f < 2; ++f) w.count(1);
    w.count(0);
    for (int f = 0; f < 2; ++f) w.count(0);
    for (int f = 0; f < 2; ++f) w.value(-4);
    for (int f = 0; f < 2; ++f) w.value(-16);
    for (int f = 0; f < 2; ++f) w.count(1);
    for (int f = 0; f < 2; ++f) w.value(-5);
    for (int f = 0; f < 2; ++f) w.value(-20);
    for (int f = 0; f < 2; ++f) w.count(10);
    for (int f = 0; f < 2; ++f) w.count(20);
    for (int f = 0; f < 2; ++f) w.count(0);
    w.u16(1);
    w.count(40);
    VMPtr<VMBytes> bytes = VMBytes::create(jint(w.b.size()));
    for (size_t i = 0; i < w.b.size(); ++i) (*bytes)[jint(i)] = jbyte(w.b[i]);
    return ts::AnimSet::loadAnimSet(
        0, java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(bytes)));
}

// Puts the set into the cache under an image and animation id, held once
// more so that no release empties it.
void putInCache(jint gobId, jint animId) {
    const jint slot = ResManager::usedSlots;
    VMPtr<VMArray<ts::Gob, 1>> gobs = VMArray<ts::Gob, 1>::create(1);
    gobs->set(0, ts::Gob::createFromRGB(VMInts::create(64), 8, 8, false));
    VMPtr<ts::AnimSet> set = bodySet();
    set->setGobs(gobs);
    VMPtr<VMArray<ts::Gob, 2>> gobCache = ResManager::gobCache;
    gobCache->set(slot, gobs);
    VMPtr<VMArray<ts::AnimSet, 1>> animCache = ResManager::animCache;
    animCache->set(slot, set);
    VMPtr<VMArray<jint, 2>> keys = ResManager::slotKeys;
    (*keys->get(ResManager::KEY_GOBS))[slot] = gobId;
    (*keys->get(ResManager::KEY_ANIM))[slot] = animId;
    (*keys->get(ResManager::KEY_ANIM_GOBS))[slot] = gobId;
    (*VMPtr<VMInts>(ResManager::gobRefs))[slot] = 1;
    (*VMPtr<VMInts>(ResManager::animRefs))[slot] = 1;
    ResManager::usedSlots = slot + 1;
}

void BM_PlayerWalkPast20Walls(benchmark::State& state) {
    benchBoot();
    ResManager::destroy();
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    ResManager::instance = ResManager::create()->construct();
    putInCache(InGamePlayer::BODY_IMAGE, InGamePlayer::BODY_SET);
    putInCache(InGamePlayer::OVERLAY_IMAGE, InGamePlayer::OVERLAY_SET);
    putInCache(GamePad::PAD_IMAGE, GamePad::PAD_SET);
    _VM_ensureInitialized(com::ventrix::utility::MyKey::_VM_classRecord);
    com::ventrix::utility::MyKey::instance = RightKey::create();
    _VM_ensureInitialized(GamePad::_VM_classRecord);
    GamePad::instance = nullptr;
    GamePad::getInstance()->update();  // right held for every frame

    // A level 640 high in rows of 64; 20 walls on the player's row, all
    // beyond its walk.
    VMPtr<LevelLoader> level = LevelLoader::create();
    level->mapHeight = 20;
    level->tileHeight = 32;
    VMPtr<VMArray<jint, 3>> rows = VMArray<jint, 3>::create(1);
    VMPtr<VMIntRows> walls = VMIntRows::create(20, LevelLoader::FLOOR_AREA_WIDTH);
    for (jint k = 0; k < 20; ++k) {
        (*walls->get(k))[1] = 3000 + 100 * k;
        (*walls->get(k))[3] = 40;
    }
    rows->set(0, walls);
    level->floorAreas = rows;
    _VM_ensureInitialized(InGameObject::_VM_classRecord);
    InGameObject::levelLoader = level;
    InGameObject::setDepthStep(64);
    InGameObject::setViewSize(480, 640);
    InGameObject::frozen = false;

    VMPtr<InGamePlayer> player = InGamePlayer::create()->construct();
    InGameObject::player = player;
    player->respawn(0, 100, 630);
    com::ventrix::utility::MyObject::frameTime = 40;
    InGamePlayer* p = player.get();
    p->update(0, 0);
    jint n = 0;
    for (auto _ : state) {
        com::ventrix::utility::MyObject::frameTime = 40;
        p->update(0, 0);
        if ((++n & 255) == 0) p->setPositionAll(100, 630);  // back before the walls
    }
    if (p->getState() != InGamePlayer::WALKING) state.SkipWithError("the player did not walk");
    InGameObject::player = nullptr;
    InGameObject::levelLoader = nullptr;
    GamePad::instance = nullptr;
    com::ventrix::utility::MyKey::instance = nullptr;
    ResManager::destroy();
}
BENCHMARK(BM_PlayerWalkPast20Walls);

}  // namespace benchplayer

VM_REGISTER_CLASS(benchplayer::RightKey, .name = "benchplayer.RightKey", .sourceName = "bench/bench_player")
