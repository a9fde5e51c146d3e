// scene.ingame.InGameObject: the base of everything that lives in a level.
#include "scene_ingame_InGameObject.h"

#include "scene_ingame_InGamePlayer.h"

namespace scene::ingame {

using com::ventrix::ui::Screen;
using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::MyKey;
using com::ventrix::utility::MyPointer;

jint InGameObject::viewX = 0;
jint InGameObject::viewY = 0;
jint InGameObject::viewWidth = 0;
jint InGameObject::viewHeight = 0;
jint InGameObject::depthStep = 0;
jboolean InGameObject::frozen = false;
jint InGameObject::playerX = 0;
jint InGameObject::playerY = 0;
jint InGameObject::playerDX = 0;
jint InGameObject::playerDY = 0;
jint InGameObject::reachedTargets = 0;
VMStatic<InGamePlayer> InGameObject::player;
VMStatic<LevelLoader> InGameObject::levelLoader;
VMStatic<InGameObject::Objects> InGameObject::disguisedPeople;
VMStatic<InGameObject::Objects> InGameObject::interactionItems;
VMStatic<InGameObject::Objects> InGameObject::traps;
VMStatic<InGameObject::Objects> InGameObject::targetItems;
VMStatic<InGameObject::Objects> InGameObject::transportItems;
VMStatic<MyPointer> InGameObject::myPointer;
VMStatic<MyKey> InGameObject::myKey;
uint64_t InGameObject::rowChanges = 0;

void InGameObject::_VM_clinit() {
    frozen = false;
    myPointer = nullptr;
    myKey = nullptr;
}

VMPtr<InGameObject> InGameObject::construct() {
    Super::construct();
    ++rowChanges;
    box = VMInts::create(5);
    if (myPointer == nullptr) myPointer = MyPointer::getInstance();
    if (myKey == nullptr) myKey = MyKey::getInstance();
    audio = AudioAndVibration::getInstance();
    savedState = -1;
    return this;
}

void InGameObject::setViewSize(jint w, jint h) {
    _VM_ensureInitialized(_VM_classRecord);
    viewWidth = w;
    viewHeight = h;
}

void InGameObject::setViewPosition(jint x, jint y) {
    _VM_ensureInitialized(_VM_classRecord);
    viewX = x;
    viewY = y;
}

void InGameObject::setDepthStep(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    depthStep = n;
}

jint InGameObject::anchorX() {
    if (getSlotKind(0) == KIND_NONE) {
        VMIntRows* offsets = slotOffsets.get();
        return offsets == nullptr || offsets->length == 0 ? 0 : (*offsets->get(0))[0];
    }
    return getSlotX(0);
}

jint InGameObject::anchorY() {
    if (getSlotKind(0) == KIND_NONE) {
        VMIntRows* offsets = slotOffsets.get();
        return offsets == nullptr || offsets->length == 0 ? 0 : (*offsets->get(0))[1];
    }
    return getSlotY(0);
}

void InGameObject::update(jint a, jint b) {
    if (frozen) return;
    Screen::update(a, b);
    updateDepth();
}

void InGameObject::forceUpdate() {
    Screen::update(0, 0);
    updateDepth();
}

void InGameObject::paint(VMPtr<Graphics> g) {
    if (slotCount < 1) return;
    const jint x = anchorX(), y = anchorY();
    inView = viewX < x && x < viewX + viewWidth && viewY < y && y < viewY + viewHeight;
    if (inView) Screen::paint(g);
}

void InGameObject::paintAlways(VMPtr<Graphics> g) { Screen::paint(g); }

jint InGameObject::getSavedState() { return savedState; }
jboolean InGameObject::isOnPlayerRow() { return onPlayerRow; }
void InGameObject::saveState() {}
jint InGameObject::getDepth() { return depth; }
void InGameObject::clearSavedState() { savedState = -1; }

void InGameObject::updateDepth() {
    if (getSlotKind(0) == KIND_NONE) return;
    LevelLoader* level = levelLoader.get();
    // Without a level or a row height there are no rows to count.
    if (level == nullptr || depthStep == 0) return;
    const jint levelHeight = level->mapHeight * level->tileHeight;
    // Slot 0 is in use here, so the anchor is its position.
    const jint row = (levelHeight - getSlotY(0)) / depthStep;
    if (row != depth) {
        depth = row;
        ++rowChanges;
    }
}

void InGameObject::snapshotCollisionBox() {
    VMPtr<VMInts> out = box;
    // A frame without a body box leaves an empty box, not last frame's.
    if (getCollisionRects(0, out, 0) < 1) {
        for (jint i = 0; i < out->length; ++i) (*out)[i] = 0;
    }
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameObject, .name = "scene.ingame.InGameObject",
                  .staticInit = scene::ingame::InGameObject::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameObject>)
