// scene.ingame.InGameTrap: a hazard of a level.
#include "scene_ingame_InGameTrap.h"

#include "scene_ingame_InGamePlayer.h"

namespace scene::ingame {

using com::ventrix::utility::MyObject;

namespace {

constexpr jint kImages[InGameTrap::TYPES] = {0x2805, 0x2805, 0x2806, 0x2807, 0x2808, 0x2809};
constexpr jint kSets[InGameTrap::TYPES] = {0x2800, 0x2800, 0x2801, 0x2802, 0x2803, 0x2804};
constexpr jint SWINGING = 5;

}  // namespace

VMPtr<InGameTrap> InGameTrap::construct() {
    Super::construct();
    return this;
}

bool InGameTrap::resources(jint type, jint& image, jint& set) {
    if (type < 0 || type >= TYPES) return false;
    image = kImages[type];
    set = kSets[type];
    return true;
}

void InGameTrap::setUp(jint index) {
    VMPtr<LevelLoader> level = levelLoader;
    if (level == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> record = VMPtr<VMIntRows>(level->trapRecords)->get(index);
    trapType = (*record)[0];
    const jint x = (*record)[1], y = (*record)[2];
    jint image = 0, set = 0;
    // A type outside the table builds no slot.
    if (resources(trapType, image, set)) {
        if (trapType < 4) {
            setSlotCapacity(1);
            addAnimation(image, set, 0, x, y);
            if (trapType == 1) mirrorSlot(0);
        } else {
            setSlotCapacity(2);
            addFrame(image, set, 0, x, y);
            addAnimation(image, set, 0, trapType == SWINGING ? x - getSlotWidth(0) / 2 : x, y);
        }
    }
    // The animations start that far in; the scene sets the frame time again
    // before the next frame.
    MyObject::frameTime = (*record)[3];
    InGameObject::update(0, 0);
    setLayer(TRAP_LAYER);
}

void InGameTrap::update(jint a, jint b) {
    InGameObject::update(a, b);
    if (trapType == SWINGING && slotCount == 2) {
        const jint w = getSlotWidth(0), rail = getSlotX(0), runner = getSlotX(1);
        const jint anim = getSlotIndex(1);
        if (anim == 0 && runner >= rail + w / 2)
            setSlotIndex(1, 1);
        else if (anim == 1 && runner <= rail - w / 2)
            setSlotIndex(1, 0);
    }
    updateDepth();
    VMPtr<InGamePlayer> p = player;
    if (p == nullptr) return;
    onPlayerRow = depth == p->getDepth();
    if (!onPlayerRow || !p->isExposed() || p->isEngaged()) return;
    const jint hitting = trapType < 4 ? 0 : 1;
    VMPtr<VMInts> area = box;
    // A frame without a hitting box catches nobody.
    if (getCollisionRects(hitting, area, 0) < 1) return;
    if (p->collides(0, 0, area)) p->setState(InGamePlayer::CAUGHT);
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameTrap, .name = "scene.ingame.InGameTrap",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameTrap>)
