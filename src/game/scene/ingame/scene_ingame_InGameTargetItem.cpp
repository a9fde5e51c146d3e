// scene.ingame.InGameTargetItem: a place the player must reach to finish a level (a safe, a briefcase, the exit, ...).
#include "scene_ingame_InGameTargetItem.h"

#include "sam_SamGameSave.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGamePlayer.h"

namespace scene::ingame {

namespace {

// Slot 2 of a desk shows the papers: animation 2 open, 3 done.
constexpr jint SECOND_PART = 2;
// Slot indices.
constexpr jint TARGET = 0, MARKER = 1, PAPERS = 2;

// Resources by type: the image and the animation set.
constexpr jint kImages[InGameTargetItem::TYPES] = {0x180B, 0x180C, 0x180D, 0x180E, 0x180F, 0x1810,
                                                   0x1811, 0x1811, 0x1812, 0x1813, 0x1814, 0x1815};
constexpr jint kSets[InGameTargetItem::TYPES] = {0x1800, 0x1801, 0x1802, 0x1803, 0x1804, 0x1805,
                                                 0x1806, 0x1806, 0x1807, 0x1808, 0x1809, 0x180A};

}  // namespace

VMPtr<InGameTargetItem> InGameTargetItem::construct() {
    Super::construct();
    return this;
}

jint InGameTargetItem::getTargetType() { return targetType; }
jboolean InGameTargetItem::isDone() { return done; }
jboolean InGameTargetItem::isDesk() { return targetType == DESK || targetType == DESK_MIRRORED; }

void InGameTargetItem::saveState() { savedState = getSlotIndex(TARGET); }

void InGameTargetItem::initFromRecord(jint index) {
    if (slotCount < 1) {
        LevelLoader* level = levelLoader.get();
        if (level == nullptr) _VM_throwNullPointer();
        VMPtr<VMInts> r = VMPtr<VMIntRows>(level->targetMarkers)->get(index);
        const jint x = (*r)[0], y = (*r)[1];
        targetType = (*r)[2];
        // The loader refuses other types; one that slipped through has no art.
        if (targetType < 0 || targetType >= TYPES) _VM_throwArrayIndexOutOfBoundsException(targetType);
        const jint image = kImages[targetType], set = kSets[targetType];
        setSlotCapacity(isDesk() ? 3 : 2);
        addAnimation(image, set, ANIM_OPEN, x, y);
        if (targetType == DESK_MIRRORED) mirrorSlot(TARGET);
        addAnimation(MARKER_IMAGE, MARKER_SET, MARK_CENTRED, x, y);
        if (isDesk()) addAnimation(image, set, SECOND_PART, x, y);
        reachedTargets = reachedTargets - 1;
        done = false;
        setLayer(TARGET_LAYER);
    } else if (savedState == -1) {
        setSlotIndex(TARGET, ANIM_OPEN);
        setSlotIndex(MARKER, MARK_CENTRED);
        if (isDesk()) setSlotIndex(PAPERS, SECOND_PART);
        reachedTargets = reachedTargets - 1;
        done = false;
    } else {
        setSlotIndex(TARGET, savedState);
        if (isDesk()) setSlotIndex(PAPERS, savedState + SECOND_PART);
        if (savedState != ANIM_OPEN) {
            setSlotIndex(MARKER, MARK_DONE);
            done = true;
        } else {
            reachedTargets = reachedTargets - 1;
            setSlotIndex(MARKER, MARK_CENTRED);
            done = false;
        }
    }
    recordIndex = index;
}

void InGameTargetItem::update(jint a, jint b) {
    if (slotCount < 1) return;
    InGameObject::update(a, b);
    InGamePlayer* p = player.get();
    onPlayerRow = p != nullptr && getDepth() == p->getDepth();
    tryComplete();
    if (done) {
        setSlotIndex(MARKER, MARK_DONE);
    } else {
        setSlotIndex(MARKER, inView ? MARK_CENTRED : MARK_AWAY);
    }
}

void InGameTargetItem::paint(VMPtr<Graphics> g) {
    if (slotCount < 1) return;
    const jint x = anchorX(), y = anchorY();
    inView = viewX + viewWidth / 3 < x && x < viewX + 2 * viewWidth / 3 && viewY + viewHeight / 3 < y &&
             y < viewY + 2 * viewHeight / 3;
    paintAlways(g);
}

jboolean InGameTargetItem::isPlayerTouching() {
    InGamePlayer* p = player.get();
    if (done || !onPlayerRow || p == nullptr) return false;
    if (!p->isExposed() || p->isEngaged()) return false;
    return touchesPlayer();
}

jboolean InGameTargetItem::touchesPlayer() {
    VMPtr<InGamePlayer> p = player;
    if (p == nullptr) return false;
    VMPtr<VMInts> area = box;
    // A frame without a box offers nothing to touch.
    if (getCollisionRects(TARGET, area, 0) < 1) return false;
    return p->collides(0, 0, area);
}

void InGameTargetItem::tryComplete() {
    VMPtr<InGamePlayer> p = player;
    if (done || !onPlayerRow || p == nullptr) return;
    if (!p->isExposed() || p->isEngaged()) return;
    bool ready = false;
    switch (targetType) {
        case SAFE:
            ready = GamePad::getInstance()->getDirection() == GamePad::ACTION_PRESSED && anyDone(BRIEFCASE);
            break;
        case BRIEFCASE: ready = true; break;
        case EXIT: ready = allOthersDone(); break;
        case STATUETTE:
            ready = GamePad::getInstance()->getDirection() == GamePad::ACTION_PRESSED && anyDone(FUSE_BOX);
            break;
        default:
            ready = targetType >= 3 && targetType < TYPES &&
                    GamePad::getInstance()->getDirection() == GamePad::ACTION_PRESSED;
            break;
    }
    if (ready) completeIfTouched();
}

void InGameTargetItem::completeIfTouched() {
    if (!touchesPlayer()) return;
    setSlotIndex(TARGET, ANIM_DONE);
    if (isDesk()) setSlotIndex(PAPERS, ANIM_DONE + SECOND_PART);
    done = true;
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    if (sam::SamGameSave::currentLevel != -1) player->nextOutfit();
    reachedTargets = reachedTargets + 1;
}

jboolean InGameTargetItem::anyDone(jint type) {
    VMPtr<Objects> all = targetItems;
    if (all == nullptr) return false;
    for (jint i = 0; i < all->length; ++i) {
        auto* t = dynamic_cast<InGameTargetItem*>(all->get(i));
        if (t != nullptr && t->getTargetType() == type && t->isDone()) return true;
    }
    return false;
}

jboolean InGameTargetItem::allOthersDone() {
    VMPtr<Objects> all = targetItems;
    if (all == nullptr) return true;
    for (jint i = 0; i < all->length; ++i) {
        auto* t = dynamic_cast<InGameTargetItem*>(all->get(i));
        if (t == nullptr || t == this) continue;
        if (t->getTargetType() != EXIT && !t->isDone()) return false;
    }
    return true;
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameTargetItem, .name = "scene.ingame.InGameTargetItem",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameTargetItem>)
