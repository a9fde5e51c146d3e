// Test support for the level's items: hand-made looks put into the resource
// cache (grown as a load would), the player placed where a test wants it and
// the pad's code for a frame.
#pragma once

#include <vector>

#include "ingame_test_support.h"

namespace itemtest {

using com::ventrix::utility::ResManager;
using ingametest::InGameObject;
using ingametest::InGamePlayer;

// Puts a look into the cache, grown first as a load grows it when full.
inline void put(jint gobId, jint animId, VMPtr<ts::AnimSet> set) {
    while (ResManager::usedSlots + 2 >= ResManager::capacity) {
        const jint used = ResManager::usedSlots;
        ResManager::usedSlots = ResManager::capacity;
        ResManager::load(-1, -1);  // loads nothing; a full cache grows
        ResManager::usedSlots = used;
    }
    ingametest::putInCache(gobId, animId, std::move(set));
}

// `count` looping animations, animation n showing frame n; every frame has
// box 0 at (x, y, w, h) from the anchor, and box 1 when `use` has a width.
inline VMPtr<ts::AnimSet> loopSet(int count, std::vector<jint> solid, std::vector<jint> use = {0, 0, 0, 0}) {
    using namespace spritetest;
    std::vector<FrameSpec> frames;
    std::vector<AnimSpec> anims;
    for (int a = 0; a < count; ++a) {
        frames.push_back({{{0, -4, -8}}, {{solid[0], solid[1], solid[2], solid[3], 0}}});
        if (use[2] != 0) frames.back().boxes.push_back({use[0], use[1], use[2], use[3], 1});
        anims.push_back({-1, {{a, 40}}});
    }
    return setOf(animSetBytes(frames, anims));
}

class ItemTest : public ingametest::InGameTest {
protected:
    void SetUp() override {
        ingametest::InGameTest::SetUp();
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        sam::SamGameSave::currentLevel = 0;
        InGameObject::reachedTargets = 0;
        player = InGamePlayer::create()->construct();
        InGameObject::player = player;
        player->respawn(0, 0, 630);
    }
    void TearDown() override {
        InGameObject::targetItems = nullptr;
        player = nullptr;
        ingametest::InGameTest::TearDown();
    }
    // The player standing exposed and free at (x, y), its box taken.
    void standAt(jint x, jint y = 630) {
        player->setPositionAll(x, y);
        player->syncPosition();
        player->updateDepth();
        player->setExposed(true);
        player->setEngaged(false);
    }
    // The keys pressed this frame, read by the pad.
    void press(std::set<jint> actions) {
        keys->pressed = std::move(actions);
        ingametest::GamePad::getInstance()->update();
    }

    VMPtr<InGamePlayer> player;
};

}  // namespace itemtest
