// com.ventrix.ui.Screen: construction, the per-slot tables, transforms and binding. Sequences and the
// frame, painting and the hit tests live in com_ventrix_ui_Screen_update/_paint/_hits.cpp.
#include "com_ventrix_ui_Screen.h"

#include <algorithm>

#include "com_ventrix_utility_ResManager.h"
#include "java_lang_System.h"
#include "java_lang_Throwable.h"
#include "ts_AnimSet.h"
#include "ts_Frame.h"
#include "ts_Gob.h"

namespace com::ventrix::ui {

using ts::AnimPlayer;
using ts::Paintable;
using utility::ResManager;

namespace {

constexpr jint NONE = -1;

// The image at index in a cache entry's image list; a freed entry or a
// missing image throws NullPointerException.
VMPtr<ts::Gob> cachedImage(jint cacheIndex, jint index) {
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    VMPtr<VMArray<ts::Gob, 2>> cache = ResManager::gobCache;
    VMPtr<VMArray<ts::Gob, 1>> list = cache->get(cacheIndex);
    if (list == nullptr) _VM_throwNullPointer();
    VMPtr<ts::Gob> gob = list->get(index);
    if (gob == nullptr) _VM_throwNullPointer();
    return gob;
}

}  // namespace

VMPtr<Screen> Screen::construct() {
    Super::construct();
    rectLayer = -1;
    backgroundColor1 = 1;
    slotCount = 0;
    capacity = 0;
    backgroundVisible = false;
    backgroundColor2 = 0;
    scratch = VMInts::create(5);
    resetOrigin();
    return this;
}

// --- slot access ---------------------------------------------------------------------------

Paintable* Screen::slotAt(jint slot) {
    VMArray<Paintable, 1>* table = paintables.get();
    if (table == nullptr || slot >= table->length) return nullptr;
    return table->get(slot);
}

jint Screen::typeOf(jint slot) {
    Paintable* p = slotAt(slot);
    return p == nullptr ? NONE : p->getType();
}

AnimPlayer* Screen::playerOf(jint slot) {
    VMPtr<VMArray<AnimPlayer, 1>> table = players;
    AnimPlayer* player = table->get(slot);
    if (player == nullptr) _VM_throwNullPointer();
    return player;
}

VMPtr<ts::Gob> Screen::firstImage(jint slot) {
    VMPtr<VMInts> indices = imageIndices;
    return cachedImage((*indices)[slot], 0);
}

VMPtr<ts::AnimSet> Screen::animSetOf(jint slot) {
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    VMPtr<VMArray<ts::AnimSet, 1>> cache = ResManager::animCache;
    VMPtr<VMInts> indices = animSetIndices;
    VMPtr<ts::AnimSet> set = cache->get((*indices)[slot]);
    if (set == nullptr) _VM_throwNullPointer();
    return set;
}

jint Screen::offsetX(jint slot) {
    VMPtr<VMIntRows> offsets = slotOffsets;
    return (*offsets->get(slot))[0];
}

jint Screen::offsetY(jint slot) {
    VMPtr<VMIntRows> offsets = slotOffsets;
    return (*offsets->get(slot))[1];
}

// --- tables and simple state ------------------------------------------------------------------

void Screen::setSlotCapacity(jint newCapacity) {
    VMPtr<VMArray<Paintable, 1>> newPaintables = VMArray<Paintable, 1>::create(newCapacity);
    VMPtr<VMIntRows> clips = VMIntRows::create(newCapacity, 5);
    VMPtr<VMIntRows> offsets = VMIntRows::create(newCapacity, 2);
    capacity = newCapacity;
    paintables = newPaintables;
    transforms = VMInts::create(newCapacity);
    imageIndices = VMInts::create(newCapacity);
    animSetIndices = VMInts::create(newCapacity);
    slotIndices = VMInts::create(newCapacity);
    sequenceCursors = VMInts::create(newCapacity);
    players = VMArray<AnimPlayer, 1>::create(newCapacity);
    slotOffsets = offsets;
    slotClips = clips;
    sequenceIndices = VMIntRows::create(newCapacity, 0);
    sequenceDurations = VMIntRows::create(newCapacity, 0);
}

void Screen::setRectCapacity(jint newCapacity) {
    VMPtr<VMIntRows> table = VMIntRows::create(newCapacity, 0);
    rectColors = VMInts::create(newCapacity);
    rects = table;
}

jint Screen::getSlotCapacity() { return capacity; }
jint Screen::getSlotCount() { return slotCount; }

void Screen::setSlotCount(jint count) {
    if (count >= 0 && count <= capacity) slotCount = count;
}

void Screen::setBackgroundColors(jint first, jint second) {
    backgroundColor1 = first;
    backgroundColor2 = second;
}

void Screen::setBackgroundColor(jint color) { backgroundColor1 = backgroundColor2 = color; }
void Screen::setBackgroundVisible(jboolean visible) { backgroundVisible = visible; }

void Screen::resetOrigin() {
    if (origin == nullptr) origin = VMInts::create(2);
    VMPtr<VMInts> o = origin;
    (*o)[0] = 0;
    (*o)[1] = 0;
}

void Screen::setOrigin(jint x, jint y) {
    if (origin == nullptr) origin = VMInts::create(2);
    VMPtr<VMInts> o = origin;
    (*o)[0] = x;
    (*o)[1] = y;
}

jint Screen::getOriginX() {
    VMInts* o = origin.get();
    return o == nullptr ? 0 : (*o)[0];
}

jint Screen::getOriginY() {
    VMInts* o = origin.get();
    return o == nullptr ? 0 : (*o)[1];
}

jint Screen::getImageIndex(jint slot) {
    VMPtr<VMInts> indices = imageIndices;
    if (indices == nullptr || slot >= indices->length) return NONE;
    return (*indices)[slot];
}

jint Screen::getAnimSetIndex(jint slot) {
    VMPtr<VMInts> indices = animSetIndices;
    if (indices == nullptr || slot >= indices->length) return NONE;
    return (*indices)[slot];
}

jint Screen::getSlotKind(jint slot) {
    switch (typeOf(slot)) {
        case Paintable::TYPE_GOB: return KIND_IMAGE;
        case Paintable::TYPE_FRAME: return KIND_FRAME;
        case Paintable::TYPE_PLAYER: return KIND_ANIMATION;
        default: return KIND_NONE;
    }
}

jint Screen::getSlotIndex(jint slot) {
    const jint type = typeOf(slot);
    if (type < Paintable::TYPE_GOB || type > Paintable::TYPE_PLAYER) return NONE;
    VMPtr<VMInts> indices = slotIndices;
    return (*indices)[slot];
}

jint Screen::getTransform(jint slot) {
    const jint type = typeOf(slot);
    if (type == NONE) return NONE;
    if (type == Paintable::TYPE_PLAYER) return playerOf(slot)->getTransform();
    VMPtr<VMInts> t = transforms;
    return (*t)[slot];
}

jint Screen::getAnimationFrame(jint slot) {
    if (typeOf(slot) != Paintable::TYPE_PLAYER) return NONE;
    return playerOf(slot)->getDisplayedStep();
}

jint Screen::getAnimationDuration(jint slot) {
    if (typeOf(slot) != Paintable::TYPE_PLAYER) return 0;
    return playerOf(slot)->getAnimationDuration();
}

void Screen::setAnimationFrame(jint slot, jint frame) {
    if (typeOf(slot) == Paintable::TYPE_PLAYER) playerOf(slot)->setStep(frame);
}

void Screen::playAnimation(jint slot, jint animation) {
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    VMPtr<Paintable> p = table->get(slot);
    if (p == nullptr || p->getType() != Paintable::TYPE_PLAYER) return;
    VMPtr<VMInts> indices = slotIndices;
    (*indices)[slot] = animation;
    playerOf(slot)->setAnimation(animation);
}

jint Screen::getSlotX(jint slot) {
    const jint type = typeOf(slot);
    if (type == NONE) return 0;
    if (type == Paintable::TYPE_PLAYER) return playerOf(slot)->getX();
    return offsetX(slot);
}

jint Screen::getSlotY(jint slot) {
    const jint type = typeOf(slot);
    if (type == NONE) return 0;
    if (type == Paintable::TYPE_PLAYER) return playerOf(slot)->getY();
    return offsetY(slot);
}

void Screen::setSlotPosition(jint slot, jint x, jint y) {
    const jint type = typeOf(slot);
    if (type == NONE) return;
    if (type == Paintable::TYPE_PLAYER) {
        AnimPlayer* player = playerOf(slot);
        player->setX(x);
        player->setY(y);
        return;
    }
    VMPtr<VMIntRows> offsets = slotOffsets;
    VMPtr<VMInts> row = offsets->get(slot);
    (*row)[0] = x;
    (*row)[1] = y;
}

jint Screen::getSlotWidth(jint slot) {
    Paintable* p = slotAt(slot);
    return p == nullptr ? 0 : p->getWidth(0);
}

jint Screen::getSlotHeight(jint slot) {
    Paintable* p = slotAt(slot);
    return p == nullptr ? 0 : p->getHeight(0);
}

void Screen::setSlotClip(jint slot, VMPtr<VMInts> clip) {
    if (clip == nullptr) _VM_throwNullPointer();
    VMPtr<VMIntRows> clips = slotClips;
    VMPtr<VMInts> row = clips->get(slot);
    for (jint i = 0; i < 4; ++i) (*row)[i] = (*clip)[i];
}

// --- transforms ---------------------------------------------------------------------------

namespace {

// The new transform from the old one.
template <class F>
void changeTransform(Screen& s, jint slot, F change) {
    const jint type = s.getSlotKind(slot);
    if (type == Screen::KIND_NONE) return;
    if (type == Screen::KIND_ANIMATION) {
        VMPtr<VMArray<AnimPlayer, 1>> table = s.players;
        VMPtr<AnimPlayer> player = table->get(slot);
        player->setTransform(change(player->getTransform()));
        return;
    }
    VMPtr<VMArray<jint, 1>> t = s.transforms;
    (*t)[slot] = change((*t)[slot]);
}

}  // namespace

void Screen::mirrorSlot(jint slot) {
    changeTransform(*this, slot, [](jint t) { return ts::Frame::flipTransform(t, 2); });
}

void Screen::flipSlot(jint slot) {
    changeTransform(*this, slot, [](jint t) { return ts::Frame::flipTransform(t, 1); });
}

void Screen::rotateSlot(jint slot, jboolean clockwise) { rotateSlot(slot, clockwise, 1); }

void Screen::rotateSlot(jint slot, jboolean clockwise, jint quarterTurns) {
    const jint turns = clockwise ? quarterTurns : -quarterTurns;
    changeTransform(*this, slot, [turns](jint t) { return ts::Gob::rotateTransform(t, turns); });
}

// --- binding ------------------------------------------------------------------------------

void Screen::bind(jint slot, jint kind, jint index, jint x, jint y) {
    const jint first = ResManager::getFirstIndex();
    const jint second = ResManager::getSecondIndex();
    VMPtr<VMInts> images = imageIndices;
    VMPtr<VMInts> sets = animSetIndices;
    (*images)[slot] = first;
    (*sets)[slot] = second;
    VMPtr<Paintable> p;
    try {
        if (kind == KIND_IMAGE) {
            p = cachedImage(first, 0);
        } else if (kind == KIND_FRAME) {
            p = animSetOf(slot)->getFrame(index);
        } else {
            VMPtr<AnimPlayer> player = AnimPlayer::create()->construct();
            VMPtr<VMArray<AnimPlayer, 1>> table = players;
            table->set(slot, player);
            player->setAnimSet(animSetOf(slot));
            player->setAnimation(index);
            player->setX(x);
            player->setY(y);
            p = player;
        }
        if (p == nullptr) _VM_throwNullPointer();
    } catch (java::lang::Throwable* t) {
        // The slot stays empty and holds no references.
        VMPtr<java::lang::Throwable> keep(t);
        ResManager::release(first, second);
        (*images)[slot] = NONE;
        (*sets)[slot] = NONE;
        VMPtr<VMArray<AnimPlayer, 1>> table = players;
        table->set(slot, nullptr);
        _VM_throw(keep);
    }
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    table->set(slot, p);
    VMPtr<VMInts> t = transforms;
    (*t)[slot] = 0;
    VMPtr<VMIntRows> offsets = slotOffsets;
    VMPtr<VMInts> row = offsets->get(slot);
    (*row)[0] = kind == KIND_ANIMATION ? 0 : x;
    (*row)[1] = kind == KIND_ANIMATION ? 0 : y;
    VMPtr<VMInts> indices = slotIndices;
    (*indices)[slot] = index;
}

void Screen::loadResource(jint slot, jint imageId) {
    releaseSlot(slot);
    ResManager::load(imageId, -1);
    bind(slot, KIND_IMAGE, 0, 0, 0);
}

void Screen::loadFrame(jint slot, jint imageId, jint animSetId, jint frame, jint x, jint y) {
    releaseSlot(slot);
    ResManager::load(imageId, animSetId);
    bind(slot, KIND_FRAME, frame, x, y);
}

void Screen::loadAnimation(jint slot, jint imageId, jint animSetId, jint animation, jint x, jint y) {
    releaseSlot(slot);
    ResManager::load(imageId, animSetId);
    bind(slot, KIND_ANIMATION, animation, x, y);
}

void Screen::addResource(jint imageId) {
    loadResource(slotCount, imageId);
    slotCount += 1;
}

void Screen::addFrame(jint imageId, jint animSetId, jint frame, jint x, jint y) {
    loadFrame(slotCount, imageId, animSetId, frame, x, y);
    slotCount += 1;
}

void Screen::addAnimation(jint imageId, jint animSetId, jint animation, jint x, jint y) {
    loadAnimation(slotCount, imageId, animSetId, animation, x, y);
    slotCount += 1;
}

void Screen::releaseSlot(jint slot) {
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    VMPtr<Paintable> p = table->get(slot);
    if (p == nullptr) return;
    VMPtr<VMInts> images = imageIndices;
    VMPtr<VMInts> sets = animSetIndices;
    ResManager::release((*images)[slot], (*sets)[slot]);
    const jint type = p->getType();
    if (type == Paintable::TYPE_PLAYER) {
        VMPtr<VMArray<AnimPlayer, 1>> list = players;
        list->set(slot, nullptr);
    }
    if (type >= Paintable::TYPE_GOB && type <= Paintable::TYPE_PLAYER) {
        (*images)[slot] = NONE;
        (*sets)[slot] = NONE;
    }
    table->set(slot, nullptr);
}

void Screen::emptySlots(bool giveBack) {
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    if (table == nullptr) return;
    VMPtr<VMArray<AnimPlayer, 1>> list = players;
    VMPtr<VMInts> images = imageIndices;
    VMPtr<VMInts> sets = animSetIndices;
    for (jint i = 0; i < table->length; ++i) {
        // Only bound slots hold references: a slot never bound has index
        // entries of 0, which name another object's cache entry.
        if (giveBack && table->get(i) != nullptr) ResManager::release((*images)[i], (*sets)[i]);
        table->set(i, nullptr);
        list->set(i, nullptr);
        (*images)[i] = NONE;
        (*sets)[i] = NONE;
    }
}

void Screen::release() { emptySlots(true); }
void Screen::clearSlots() { emptySlots(false); }

void Screen::setSlotIndex(jint slot, jint index) {
    VMPtr<Paintable> p = slotAt(slot);
    if (p == nullptr) return;
    VMPtr<VMInts> indices = slotIndices;
    if ((*indices)[slot] == index) return;
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    switch (p->getType()) {
        case Paintable::TYPE_GOB: {
            VMPtr<VMInts> images = imageIndices;
            table->set(slot, cachedImage((*images)[slot], index));
            break;
        }
        case Paintable::TYPE_FRAME: table->set(slot, animSetOf(slot)->getFrame(index)); break;
        case Paintable::TYPE_PLAYER: playerOf(slot)->setAnimation(index); break;
        default: return;
    }
    (*indices)[slot] = index;
}

}  // namespace com::ventrix::ui

VM_REGISTER_CLASS(com::ventrix::ui::Screen, .name = "com.ventrix.ui.Screen",
                  .newInstance = _VM_newInstanceOf<com::ventrix::ui::Screen>)
