// Test support for the level's items: hand-made looks for the targets, the
// marker, the keys and the doors put into the resource cache (grown as a
// load would), a player standing where a test puts it, and frames run as the
// scene runs them.
#pragma once

#include <vector>

#include "ingame_test_support.h"

namespace itemtest {

using ingametest::GamePad;
using ingametest::InGameObject;
using ingametest::InGamePlayer;

// Room for one more cache entry, as the cache's own growth makes it.
inline void makeRoom() {
    using com::ventrix::utility::ResManager;
    if (ResManager::usedSlots + 2 < ResManager::capacity) return;
    const jint old = ResManager::capacity, size = old + 16;
    VMPtr<VMArray<ts::Gob, 2>> gobs = VMArray<ts::Gob, 2>::create(size);
    VMPtr<VMArray<ts::AnimSet, 1>> anims = VMArray<ts::AnimSet, 1>::create(size);
    VMPtr<VMInts> gobRefs = VMInts::create(size), animRefs = VMInts::create(size);
    VMPtr<VMArray<jint, 2>> keys = VMArray<jint, 2>::create(3, size);
    for (jint i = 0; i < old; ++i) {
        gobs->set(i, VMPtr<VMArray<ts::Gob, 1>>(ResManager::gobCache->get(i)));
        anims->set(i, VMPtr<ts::AnimSet>(ResManager::animCache->get(i)));
        (*gobRefs)[i] = (*ResManager::gobRefs)[i];
        (*animRefs)[i] = (*ResManager::animRefs)[i];
        for (jint row = 0; row < 3; ++row) (*keys->get(row))[i] = (*ResManager::slotKeys->get(row))[i];
    }
    for (jint i = old; i < size; ++i)
        for (jint row = 0; row < 3; ++row) (*keys->get(row))[i] = ResManager::FREE;
    ResManager::gobCache = gobs;
    ResManager::animCache = anims;
    ResManager::gobRefs = gobRefs;
    ResManager::animRefs = animRefs;
    ResManager::slotKeys = keys;
    ResManager::capacity = size;
}

inline void put(jint gobId, jint animId, VMPtr<ts::AnimSet> set) {
    makeRoom();
    ingametest::putInCache(gobId, animId, std::move(set));
}

// A set of `anims` looping animations, animation n showing frame n (frames
// as many); every frame has box 0 at (x, y, w, h) from the anchor and,
// when useBox is set, box 1 as well.
struct Box {
    jint x, y, w, h;
};
inline VMPtr<ts::AnimSet> loopSet(int anims, Box solid, const Box* use = nullptr, std::vector<int> once = {}) {
    using namespace spritetest;
    std::vector<FrameSpec> frames;
    std::vector<AnimSpec> list;
    for (int a = 0; a < anims; ++a) {
        FrameSpec f{{{0, -4, -8}}, {{solid.x, solid.y, solid.w, solid.h, 0}}};
        if (use != nullptr) f.boxes.push_back({use->x, use->y, use->w, use->h, 1});
        frames.push_back(f);
        bool finite = false;
        for (int o : once) finite = finite || o == a;
        list.push_back({finite ? 1 : -1, {{a, 40}}});
    }
    return setOf(animSetBytes(frames, list));
}

class ItemTest : public ingametest::InGameTest {
protected:
    void SetUp() override {
        ingametest::InGameTest::SetUp();
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        sam::SamGameSave::currentLevel = 0;
        InGameObject::reachedTargets = 0;
    }
    void TearDown() override {
        InGameObject::targetItems = nullptr;
        InGameObject::interactionItems = nullptr;
        player = nullptr;
        ingametest::InGameTest::TearDown();
    }

    // The player standing exposed at (x, y), after `step` pixels of walk.
    VMPtr<InGamePlayer> standAt(jint x, jint y) {
        if (player == nullptr) {
            player = InGamePlayer::create()->construct();
            InGameObject::player = player;
            player->respawn(0, x, y);
        }
        player->setPositionAll(x, y);
        player->syncPosition();
        player->updateDepth();
        player->setExposed(true);
        player->setEngaged(false);
        return player;
    }
    // Keys for this frame, then the pad, as the scene reads them.
    void press(std::set<jint> actions) {
        keys->pressed = std::move(actions);
        GamePad::getInstance()->update();
    }

    VMPtr<InGamePlayer> player;
};

}  // namespace itemtest

namespace itemtest {

// The first cache index whose animation set was bound to that image.
inline jint cacheIndexOf(jint gobId) {
    using com::ventrix::utility::ResManager;
    VMPtr<VMInts> row = ResManager::slotKeys->get(ResManager::KEY_ANIM_GOBS);
    for (jint j = 0; j < ResManager::usedSlots; ++j)
        if ((*row)[j] == gobId) return j;
    return -1;
}

}  // namespace itemtest
