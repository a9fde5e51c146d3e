// Test support for the in-game objects: hand-made looks put into the
// resource cache under the player's and the pad's resource ids, a level
// loader whose tables the test fills, and a fixture that resets the in-game
// statics around each test and answers the keys from a ScriptKey.
#pragma once

#include <set>
#include <vector>

#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"
#include "com_ventrix_utility_ResManager.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_LevelLoader.h"
#include "scenes_test_support.h"
#include "sprites_test_support.h"

namespace ingametest {

using scene::ingame::GamePad;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::LevelLoader;

using scenetest::ScriptKey;

// Logical key actions.
constexpr jint kUp = 14, kDown = 17, kLeft = 15, kRight = 16, kAction = 18;

// A look of another person (an outfit the player can put on).
constexpr jint kOtherLook = 0x3C06, kOtherSet = 0x3C02;

// The hand-made looks. Every body animation is one 40 ms step of frame 0,
// whose box 0 (the body) is (-5, -20, 10, 20). Animations 1 (walk) and 3
// (on a path) move 4 pixels a step; the finite ones (4, 6, 8, 11, 17, 21,
// 26) play once and lead to the next number; the rest loop.
inline VMPtr<ts::AnimSet> bodySet() {
    using namespace spritetest;
    std::vector<AnimSpec> anims;
    const std::set<int> once = {4, 6, 8, 11, 17, 21, 26};
    for (int a = 0; a < 28; ++a) {
        const int dx = a == 1 || a == 3 ? 4 : 0;
        anims.push_back({once.count(a) ? 1 : -1, {{0, 40, dx, 0}}});
    }
    return setOf(animSetBytes({{{{0, -4, -16}}, {{-5, -20, 10, 20, 0}}}}, anims));
}

// The overlays: animations 0 to 3 looping, frames 0 to 61.
inline VMPtr<ts::AnimSet> overlaySet() {
    using namespace spritetest;
    std::vector<FrameSpec> frames(62, FrameSpec{{{0, -4, -24}}, {}});
    std::vector<AnimSpec> anims(4, AnimSpec{-1, {{0, 40}}});
    return setOf(animSetBytes(frames, anims));
}

// The pad: frame 0 (drawn at the bottom-left corner) has boxes 1 up,
// 2 down, 3 left, 4 right; frame 1 (bottom-right) box 5 action.
inline VMPtr<ts::AnimSet> padSet() {
    using namespace spritetest;
    FrameSpec left{{{0, 0, -8}},
                   {{60, -180, 40, 40, 1}, {60, -60, 40, 40, 2}, {10, -120, 40, 40, 3}, {110, -120, 40, 40, 4}}};
    FrameSpec right{{{0, -8, -8}}, {{-100, -100, 60, 60, 5}}};
    return setOf(animSetBytes({left, right}, {{-1, {{0, 40}}}}));
}

inline VMPtr<VMArray<ts::Gob, 1>> oneGob() {
    VMPtr<VMArray<ts::Gob, 1>> gobs = VMArray<ts::Gob, 1>::create(1);
    gobs->set(0, ts::Gob::createFromRGB(intArray(std::vector<uint32_t>(64, 0xFF20A040u)), 8, 8, false));
    return gobs;
}

// Puts an image and animation pair into the cache as a load would, with one
// holder of its own so that the objects' releases never empty it.
inline void putInCache(jint gobId, jint animId, VMPtr<ts::AnimSet> set) {
    using com::ventrix::utility::ResManager;
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    if (ResManager::instance == nullptr) ResManager::instance = ResManager::create()->construct();
    const jint slot = ResManager::usedSlots;
    VMPtr<VMArray<ts::Gob, 1>> gobs = oneGob();
    set->setGobs(gobs);
    VMPtr<VMArray<ts::Gob, 2>> gobCache = ResManager::gobCache;
    gobCache->set(slot, gobs);
    VMPtr<VMArray<ts::AnimSet, 1>> animCache = ResManager::animCache;
    animCache->set(slot, set);
    VMPtr<VMArray<jint, 2>> keys = ResManager::slotKeys;
    (*keys->get(ResManager::KEY_GOBS))[slot] = gobId;
    (*keys->get(ResManager::KEY_ANIM))[slot] = animId;
    (*keys->get(ResManager::KEY_ANIM_GOBS))[slot] = gobId;
    (*VMPtr<VMArray<jint, 1>>(ResManager::gobRefs))[slot] = 1;
    (*VMPtr<VMArray<jint, 1>>(ResManager::animRefs))[slot] = 1;
    ResManager::usedSlots = slot + 1;
    if (ResManager::usedSlots == ResManager::capacity) ResManager::grow();  // as a load does
}

class InGameTest : public scenetest::SceneTest {
protected:
    // A level 640 pixels high (20 rows of 32) in depth rows of 64.
    static constexpr jint kLevelHeight = 640, kDepthStep = 64;

    void SetUp() override {
        scenetest::SceneTest::SetUp();
        using com::ventrix::utility::MyObject;
        putInCache(InGamePlayer::BODY_IMAGE, InGamePlayer::BODY_SET, bodySet());
        putInCache(InGamePlayer::OVERLAY_IMAGE, InGamePlayer::OVERLAY_SET, overlaySet());
        putInCache(GamePad::PAD_IMAGE, GamePad::PAD_SET, padSet());
        putInCache(kOtherLook, kOtherSet, bodySet());
        _VM_ensureInitialized(com::ventrix::utility::MyKey::_VM_classRecord);
        keys = ScriptKey::create()->construct();
        com::ventrix::utility::MyKey::instance = keys;
        _VM_ensureInitialized(com::ventrix::utility::MyPointer::_VM_classRecord);
        com::ventrix::utility::MyPointer::instance = nullptr;
        _VM_ensureInitialized(GamePad::_VM_classRecord);
        GamePad::instance = nullptr;
        _VM_ensureInitialized(InGameObject::_VM_classRecord);
        InGameObject::myKey = nullptr;
        InGameObject::myPointer = nullptr;
        InGameObject::frozen = false;
        InGameObject::setViewSize(480, 640);
        InGameObject::setViewPosition(0, 0);
        InGameObject::setDepthStep(kDepthStep);
        level = LevelLoader::create()->construct();
        level->mapHeight = kLevelHeight / 32;
        level->tileHeight = 32;
        level->floorAreas = VMArray<jint, 3>::create(0);
        InGameObject::levelLoader = level;
        MyObject::frameTime = 40;
    }
    void TearDown() override {
        InGameObject::levelLoader = nullptr;
        InGameObject::player = nullptr;
        InGameObject::myKey = nullptr;
        InGameObject::myPointer = nullptr;
        com::ventrix::utility::MyKey::instance = nullptr;
        com::ventrix::utility::MyPointer::instance = nullptr;
        GamePad::instance = nullptr;
        level = nullptr;
        keys = nullptr;
        scenetest::SceneTest::TearDown();
    }

    // Walls of each depth row: left x and width of each.
    void setWalls(const std::vector<std::vector<std::pair<jint, jint>>>& rows) {
        VMPtr<VMArray<jint, 3>> table = VMArray<jint, 3>::create(jint(rows.size()));
        for (size_t d = 0; d < rows.size(); ++d) {
            VMPtr<VMArray<jint, 2>> walls =
                VMArray<jint, 2>::create(jint(rows[d].size()), LevelLoader::FLOOR_AREA_WIDTH);
            for (size_t k = 0; k < rows[d].size(); ++k) {
                VMPtr<VMArray<jint, 1>> r = walls->get(jint(k));
                (*r)[0] = jint(d);
                (*r)[1] = rows[d][k].first;
                (*r)[3] = rows[d][k].second;
                (*r)[4] = kDepthStep;
            }
            table->set(jint(d), walls);
        }
        level->floorAreas = table;
    }

    VMPtr<LevelLoader> level;
    VMPtr<ScriptKey> keys;
};

}  // namespace ingametest
