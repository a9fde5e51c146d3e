// scene.ingame.InGameKeyItem: a key lying in the level.
#include "scene_ingame_InGameKeyItem.h"

#include "scene_ingame_InGamePlayer.h"

namespace scene::ingame {

namespace {

// Row index of keyRecords, checked: kind, x, y.
VMPtr<VMInts> keyRow(jint index) {
    LevelLoader* level = InGameObject::levelLoader.get();
    if (level == nullptr) _VM_throwNullPointer();
    return VMPtr<VMIntRows>(level->keyRecords)->get(index);
}

}  // namespace

VMPtr<InGameKeyItem> InGameKeyItem::construct() {
    Super::construct();
    return this;
}

void InGameKeyItem::saveState() { savedState = getSlotIndex(0); }

void InGameKeyItem::initFromRecord(jint index) {
    if (slotCount < 1) {
        VMPtr<VMInts> r = keyRow(index);
        // The kind is a 2-bit field: key levels 1 to 4.
        keyLevel = ((*r)[0] & 3) + 1;
        setSlotCapacity(1);
        addAnimation(KEY_IMAGE, KEY_SET, keyLevel, (*r)[1], (*r)[2]);
        setLayer(KEY_LAYER);
        return;
    }
    // Nothing saved yet: the key lies where it was built.
    setSlotIndex(0, savedState == -1 ? keyLevel : savedState);
}

void InGameKeyItem::reset(jint index) {
    if (slotCount < 1) initFromRecord(index);
    VMPtr<VMInts> r = keyRow(index);
    setSlotIndex(0, keyLevel);
    setSlotPosition(0, (*r)[1], (*r)[2]);
    saveState();
}

void InGameKeyItem::update(jint a, jint b) {
    if (slotCount < 1 || getSlotIndex(0) == TAKEN) return;
    InGameObject::update(a, b);
    updateDepth();
    VMPtr<InGamePlayer> p = player;
    if (p == nullptr) return;
    onPlayerRow = getDepth() == p->getDepth();
    if (!onPlayerRow || !p->isExposed() || p->isEngaged()) return;
    VMPtr<VMInts> area = box;
    // A frame without a box cannot be touched.
    if (getCollisionRects(0, area, 0) < 1) return;
    if (p->collides(0, 0, area)) {
        p->raiseProgress(keyLevel);
        setSlotIndex(0, TAKEN);
    }
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameKeyItem, .name = "scene.ingame.InGameKeyItem",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameKeyItem>)
