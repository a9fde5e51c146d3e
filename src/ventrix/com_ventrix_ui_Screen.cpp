// com.ventrix.ui.Screen
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
    scratch = Ints::create(5);
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
    VMPtr<Ints> indices = imageIndices;
    return cachedImage((*indices)[slot], 0);
}

VMPtr<ts::AnimSet> Screen::animSetOf(jint slot) {
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    VMPtr<VMArray<ts::AnimSet, 1>> cache = ResManager::animCache;
    VMPtr<Ints> indices = animSetIndices;
    VMPtr<ts::AnimSet> set = cache->get((*indices)[slot]);
    if (set == nullptr) _VM_throwNullPointer();
    return set;
}

jint Screen::offsetX(jint slot) {
    VMPtr<IntRows> offsets = slotOffsets;
    return (*offsets->get(slot))[0];
}

jint Screen::offsetY(jint slot) {
    VMPtr<IntRows> offsets = slotOffsets;
    return (*offsets->get(slot))[1];
}

// --- tables and simple state ------------------------------------------------------------------

void Screen::setSlotCapacity(jint newCapacity) {
    VMPtr<VMArray<Paintable, 1>> newPaintables = VMArray<Paintable, 1>::create(newCapacity);
    VMPtr<IntRows> clips = IntRows::create(newCapacity, 5);
    VMPtr<IntRows> offsets = IntRows::create(newCapacity, 2);
    capacity = newCapacity;
    paintables = newPaintables;
    transforms = Ints::create(newCapacity);
    imageIndices = Ints::create(newCapacity);
    animSetIndices = Ints::create(newCapacity);
    slotIndices = Ints::create(newCapacity);
    sequenceCursors = Ints::create(newCapacity);
    players = VMArray<AnimPlayer, 1>::create(newCapacity);
    slotOffsets = offsets;
    slotClips = clips;
    sequenceIndices = IntRows::create(newCapacity, 0);
    sequenceDurations = IntRows::create(newCapacity, 0);
}

void Screen::setRectCapacity(jint newCapacity) {
    VMPtr<IntRows> table = IntRows::create(newCapacity, 0);
    rectColors = Ints::create(newCapacity);
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
    if (origin == nullptr) origin = Ints::create(2);
    VMPtr<Ints> o = origin;
    (*o)[0] = 0;
    (*o)[1] = 0;
}

void Screen::setOrigin(jint x, jint y) {
    if (origin == nullptr) origin = Ints::create(2);
    VMPtr<Ints> o = origin;
    (*o)[0] = x;
    (*o)[1] = y;
}

jint Screen::getOriginX() {
    Ints* o = origin.get();
    return o == nullptr ? 0 : (*o)[0];
}

jint Screen::getOriginY() {
    Ints* o = origin.get();
    return o == nullptr ? 0 : (*o)[1];
}

jint Screen::getImageIndex(jint slot) {
    VMPtr<Ints> indices = imageIndices;
    if (indices == nullptr || slot >= indices->length) return NONE;
    return (*indices)[slot];
}

jint Screen::getAnimSetIndex(jint slot) {
    VMPtr<Ints> indices = animSetIndices;
    if (indices == nullptr || slot >= indices->length) return NONE;
    return (*indices)[slot];
}

jint Screen::getSlotKind(jint slot) {
    switch (typeOf(slot)) {
        case Paintable::TYPE_GOB:
            return KIND_IMAGE;
        case Paintable::TYPE_FRAME:
            return KIND_FRAME;
        case Paintable::TYPE_PLAYER:
            return KIND_ANIMATION;
        default:
            return KIND_NONE;
    }
}

jint Screen::getSlotIndex(jint slot) {
    const jint type = typeOf(slot);
    if (type < Paintable::TYPE_GOB || type > Paintable::TYPE_PLAYER) return NONE;
    VMPtr<Ints> indices = slotIndices;
    return (*indices)[slot];
}

jint Screen::getTransform(jint slot) {
    const jint type = typeOf(slot);
    if (type == NONE) return NONE;
    if (type == Paintable::TYPE_PLAYER) return playerOf(slot)->getTransform();
    VMPtr<Ints> t = transforms;
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
    VMPtr<Ints> indices = slotIndices;
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
    VMPtr<IntRows> offsets = slotOffsets;
    VMPtr<Ints> row = offsets->get(slot);
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

void Screen::setSlotClip(jint slot, VMPtr<Ints> clip) {
    if (clip == nullptr) _VM_throwNullPointer();
    VMPtr<IntRows> clips = slotClips;
    VMPtr<Ints> row = clips->get(slot);
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
    VMPtr<Ints> images = imageIndices;
    VMPtr<Ints> sets = animSetIndices;
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
    VMPtr<Ints> t = transforms;
    (*t)[slot] = 0;
    VMPtr<IntRows> offsets = slotOffsets;
    VMPtr<Ints> row = offsets->get(slot);
    (*row)[0] = kind == KIND_ANIMATION ? 0 : x;
    (*row)[1] = kind == KIND_ANIMATION ? 0 : y;
    VMPtr<Ints> indices = slotIndices;
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
    VMPtr<Ints> images = imageIndices;
    VMPtr<Ints> sets = animSetIndices;
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
    VMPtr<Ints> images = imageIndices;
    VMPtr<Ints> sets = animSetIndices;
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

void Screen::dispose() { emptySlots(true); }
void Screen::clearSlots() { emptySlots(false); }

void Screen::setSlotIndex(jint slot, jint index) {
    VMPtr<Paintable> p = slotAt(slot);
    if (p == nullptr) return;
    VMPtr<Ints> indices = slotIndices;
    if ((*indices)[slot] == index) return;
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    switch (p->getType()) {
        case Paintable::TYPE_GOB: {
            VMPtr<Ints> images = imageIndices;
            table->set(slot, cachedImage((*images)[slot], index));
            break;
        }
        case Paintable::TYPE_FRAME:
            table->set(slot, animSetOf(slot)->getFrame(index));
            break;
        case Paintable::TYPE_PLAYER:
            playerOf(slot)->setAnimation(index);
            break;
        default:
            return;
    }
    (*indices)[slot] = index;
}

// --- sequences and the frame --------------------------------------------------------------

void Screen::setSequence(jint slot, jint index, jint duration) {
    VMPtr<Ints> indices = Ints::create(1);
    VMPtr<Ints> durations = Ints::create(1);
    (*indices)[0] = index;
    (*durations)[0] = duration;
    setSequence(slot, indices, durations);
}

void Screen::setSequence(jint slot, VMPtr<Ints> indices, VMPtr<Ints> durations) {
    if (slotAt(slot) == nullptr) return;
    if (indices == nullptr || durations == nullptr) _VM_throwNullPointer();
    // Both copies are made before either is stored: a durations array
    // shorter than the indices leaves the slot as it was.
    VMPtr<Ints> indexCopy = Ints::create(indices->length);
    java::lang::System::arraycopy(indices, 0, indexCopy, 0, indices->length);
    VMPtr<Ints> durationCopy = Ints::create(durations->length);
    java::lang::System::arraycopy(durations, 0, durationCopy, 0, indices->length);
    VMPtr<IntRows> rows = sequenceIndices;
    rows->set(slot, indexCopy);
    rows = sequenceDurations;
    rows->set(slot, durationCopy);
    VMPtr<Ints> cursors = sequenceCursors;
    (*cursors)[slot] = 0;
}

void Screen::stopSequence(jint slot) {
    VMPtr<Ints> cursors = sequenceCursors;
    if (cursors != nullptr && slot < cursors->length) (*cursors)[slot] = -1;
}

void Screen::stopAllSequences() {
    VMPtr<Ints> cursors = sequenceCursors;
    if (cursors == nullptr) return;
    for (jint i = 0; i < cursors->length; ++i) (*cursors)[i] = -1;
}

void Screen::update(jint, jint) {
    if (isSuspended()) return;
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    if (table == nullptr) return;
    const jint step = frameTime;
    const jint n = std::min(slotCount, table->length);
    for (jint i = 0; i < n; ++i) {
        VMPtr<Paintable> p = table->get(i);
        if (p == nullptr) continue;
        const bool animation = p->getType() == Paintable::TYPE_PLAYER;
        VMPtr<IntRows> sequences = sequenceIndices;
        VMPtr<Ints> row = sequences->get(i);
        VMPtr<Ints> cursors = sequenceCursors;
        jint c = (*cursors)[i];
        if (row != nullptr && c >= 0 && c < row->length) {
            VMPtr<Ints> indices = slotIndices;
            const jint wanted = (*row)[c];
            if ((*indices)[i] != wanted) {
                // Shown first; the step's time counts from the next frame.
                setSlotIndex(i, wanted);
                table = paintables;
                continue;
            }
            VMPtr<IntRows> durationRows = sequenceDurations;
            VMPtr<Ints> durations = durationRows->get(i);
            if (durations == nullptr) _VM_throwNullPointer();
            if (animation) {
                AnimPlayer* player = playerOf(i);
                player->update(step);
                if (player->getPlayCount() == 0) {
                    c += 1;
                } else {
                    (*durations)[c] -= step;
                }
            } else {
                (*durations)[c] -= step;
            }
            if (c < row->length && (*durations)[c] < 0) c += 1;
            (*cursors)[i] = c;
        } else if (animation) {
            AnimPlayer* player = playerOf(i);
            player->update(step);
            if (player->getPlayCount() != 0) continue;
            // The animations of a set play one after the other; the last one
            // holds its last step.
            VMPtr<ts::AnimSet> set = player->getAnimSet();
            VMPtr<Ints> indices = slotIndices;
            const jint next = (*indices)[i] + 1;
            if (set == nullptr || set->animations == nullptr || next >= set->getAnimationCount()) continue;
            (*indices)[i] = next;
            player->setAnimation(next);
        }
    }
}

// --- painting -----------------------------------------------------------------------------

void Screen::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    if (backgroundVisible) {
        g->setClip(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        if (backgroundColor1 == backgroundColor2) {
            g->setColor(backgroundColor1);
            g->fillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        } else {
            // The Graphics is already translated to the game area: the
            // gradient starts at (0, 0) like the one-colour fill.
            VMPtr<ts::TsCanvas> c = canvas;
            c->fillGradientRect(g, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, backgroundColor1, backgroundColor2);
        }
    }
    bool rectsPainted = false;
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    const jint n = table == nullptr ? 0 : std::min(slotCount, table->length);
    const jint ox = getOriginX(), oy = getOriginY();
    // The per-slot tables, read once for the whole frame like the slots.
    VMPtr<IntRows> offsets = slotOffsets;
    VMPtr<Ints> t = transforms;
    VMPtr<IntRows> clips = slotClips;
    for (jint j = 0; j < n; ++j) {
        if (j == rectLayer) {
            paintRects(g);
            rectsPainted = true;
        }
        VMPtr<Paintable> p = table->get(j);
        if (p == nullptr) continue;
        VMPtr<Ints> offset = offsets->get(j);
        const jint x = (*offset)[0] - ox, y = (*offset)[1] - oy;
        const jint transform = (*t)[j];
        VMPtr<Ints> clip = clips->get(j);
        if ((*clip)[2] != 0 && (*clip)[3] != 0) {
            // The clip in force is kept here, not in scratch, which may be a
            // short collision list or one a caller still holds.
            const jint saved[4] = {g->getClipX(), g->getClipY(), g->getClipWidth(), g->getClipHeight()};
            g->setClip((*clip)[0] - ox, (*clip)[1] - oy, (*clip)[2], (*clip)[3]);
            p->paint(g, x, y, transform);
            g->setClip(saved[0], saved[1], saved[2], saved[3]);
        } else {
            p->paint(g, x, y, transform);
        }
    }
    g->setClip(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!rectsPainted) paintRects(g);
}

void Screen::paintRects(VMPtr<Graphics> g) {
    VMPtr<IntRows> table = rects;
    if (table == nullptr) return;
    VMPtr<Ints> colors = rectColors;
    const jint ox = getOriginX(), oy = getOriginY();
    for (jint j = 0; j < table->length; ++j) {
        VMPtr<Ints> r = table->get(j);
        if (r == nullptr || r->length < 4) continue;
        g->setColor((*colors)[j]);
        g->fillRect((*r)[0] - ox, (*r)[1] - oy, (*r)[2], (*r)[3]);
    }
}

void Screen::setRect(jint index, VMPtr<Ints> rect, jint color) {
    if (rect == nullptr) _VM_throwNullPointer();
    VMPtr<Ints> copy = Ints::create(rect->length);
    java::lang::System::arraycopy(rect, 0, copy, 0, rect->length);
    VMPtr<IntRows> table = rects;
    table->set(index, copy);
    VMPtr<Ints> colors = rectColors;
    (*colors)[index] = color;
    if (rectLayer == -1) rectLayer = slotCount;
}

void Screen::removeRect(jint index) {
    VMPtr<IntRows> table = rects;
    table->set(index, nullptr);
}

// --- collision queries ------------------------------------------------------------------------

VMPtr<Screen::Ints> Screen::getCollisionRect(jint slot, jint boxId) {
    VMPtr<Ints> r = Ints::create(5);
    const jint type = typeOf(slot);
    if (type == Paintable::TYPE_GOB) {
        VMPtr<ts::Gob> gob = firstImage(slot);
        (*r)[0] = gob->collisionX + gob->offsetX + offsetX(slot);
        (*r)[1] = gob->collisionY + gob->offsetY + offsetY(slot);
        (*r)[2] = gob->collisionWidth;
        (*r)[3] = gob->collisionHeight;
    } else if (type == Paintable::TYPE_FRAME) {
        VMPtr<Ints> indices = slotIndices;
        if (animSetOf(slot)->getCollisionRects((*indices)[slot], getTransform(slot), r, boxId) > 0) {
            (*r)[0] += offsetX(slot);
            (*r)[1] += offsetY(slot);
        }
    } else if (type == Paintable::TYPE_PLAYER) {
        AnimPlayer* player = playerOf(slot);
        if (player->getCollisionRects(r, boxId) > 0) {
            (*r)[0] += player->getX();
            (*r)[1] += player->getY();
        }
    }
    return r;
}

VMPtr<Screen::Ints> Screen::fixedIdRect(jint slot, jint boxId) {
    VMPtr<Ints> r = Ints::create(5);
    const jint type = typeOf(slot);
    jint found = 0;
    if (type == Paintable::TYPE_FRAME) {
        VMPtr<Ints> indices = slotIndices;
        found = animSetOf(slot)->getCollisionRects((*indices)[slot], 0, r, boxId);
    } else if (type == Paintable::TYPE_PLAYER) {
        found = playerOf(slot)->getCollisionRects(r, boxId);
    }
    if (found > 0) {
        (*r)[0] += offsetX(slot);
        (*r)[1] += offsetY(slot);
    }
    return r;
}

VMPtr<Screen::Ints> Screen::getCollisionRect1(jint slot) { return fixedIdRect(slot, 1); }
VMPtr<Screen::Ints> Screen::getCollisionRect2(jint slot) { return fixedIdRect(slot, 2); }
VMPtr<Screen::Ints> Screen::getCollisionRect3(jint slot) { return fixedIdRect(slot, 3); }
VMPtr<Screen::Ints> Screen::getCollisionRect4(jint slot) { return fixedIdRect(slot, 4); }

VMPtr<Screen::CollisionBox> Screen::getCollisionBox(jint slot, jint boxId) {
    VMPtr<CollisionBox> box = CollisionBox::create()->construct();
    const jint type = typeOf(slot);
    if (type == NONE) return box;
    if (type == Paintable::TYPE_GOB) {
        VMPtr<ts::Gob> gob = firstImage(slot);
        box->setBounds(gob->collisionX + gob->offsetX, gob->collisionY + gob->offsetY, gob->collisionWidth,
                       gob->collisionHeight);
    } else if (type == Paintable::TYPE_FRAME || type == Paintable::TYPE_PLAYER) {
        VMPtr<Boxes> one = Boxes::create(1);
        one->set(0, box);
        if (type == Paintable::TYPE_FRAME) {
            VMPtr<Ints> indices = slotIndices;
            animSetOf(slot)->getCollisionBoxes((*indices)[slot], getTransform(slot), one, boxId);
        } else {
            AnimPlayer* player = playerOf(slot);
            player->getCollisionBoxes(one, boxId);
            box->x += player->getX();
            box->y += player->getY();
        }
    }
    box->x += offsetX(slot);
    box->y += offsetY(slot);
    return box;
}

jint Screen::getCollisionBoxCount(jint slot) {
    switch (typeOf(slot)) {
        case Paintable::TYPE_GOB:
            return firstImage(slot)->getCollisionBoxCount();
        case Paintable::TYPE_FRAME: {
            VMPtr<Ints> indices = slotIndices;
            return animSetOf(slot)->getCollisionBoxCount((*indices)[slot]);
        }
        case Paintable::TYPE_PLAYER:
            return playerOf(slot)->getCollisionBoxCount();
        default:
            return 0;
    }
}

VMPtr<Screen::Ints> Screen::getAllCollisionRects(jint slot) {
    VMPtr<Ints> list;
    const jint type = typeOf(slot);
    if (type == Paintable::TYPE_GOB) {
        VMPtr<ts::Gob> gob = firstImage(slot);
        list = Ints::create(5);
        (*list)[0] = gob->collisionX + offsetX(slot);
        (*list)[1] = gob->collisionY + offsetY(slot);
        (*list)[2] = gob->collisionWidth;
        (*list)[3] = gob->collisionHeight;
    } else if (type == Paintable::TYPE_FRAME || type == Paintable::TYPE_PLAYER) {
        jint dx = offsetX(slot), dy = offsetY(slot);
        if (type == Paintable::TYPE_FRAME) {
            VMPtr<ts::AnimSet> set = animSetOf(slot);
            VMPtr<Ints> indices = slotIndices;
            const jint frame = (*indices)[slot];
            list = Ints::create(5 * set->getCollisionBoxCount(frame));
            set->getCollisionRects(frame, 0, list, -1);
        } else {
            AnimPlayer* player = playerOf(slot);
            list = Ints::create(5 * player->getCollisionBoxCount());
            player->getCollisionRects(list);
            dx += player->getX();
            dy += player->getY();
        }
        for (jint k = 0; k < list->length / 5; ++k) {
            (*list)[5 * k] += dx;
            (*list)[5 * k + 1] += dy;
        }
    } else {
        list = Ints::create(5);
    }
    scratch = list;
    return list;
}

jint Screen::getCollisionRects(jint slot, VMPtr<Ints> out) {
    VMPtr<Paintable> p = slotAt(slot);
    if (p == nullptr) return 0;
    if (out == nullptr) _VM_throwNullPointer();
    const jint type = p->getType();
    const jint count = p->getCollisionRects(getTransform(slot), out);
    jint dx = 0, dy = 0;
    if (type == Paintable::TYPE_FRAME) {
        dx = offsetX(slot);
        dy = offsetY(slot);
    } else if (type == Paintable::TYPE_PLAYER) {
        AnimPlayer* player = playerOf(slot);
        dx = player->getX();
        dy = player->getY();
    }
    for (jint k = 0; k < out->length / 5; ++k) {
        (*out)[5 * k] += dx;
        (*out)[5 * k + 1] += dy;
    }
    return count;
}

jint Screen::getCollisionBoxes(jint slot, VMPtr<Boxes> out) {
    VMPtr<Paintable> p = slotAt(slot);
    if (p == nullptr) return 0;
    if (out == nullptr) _VM_throwNullPointer();
    const jint type = p->getType();
    const jint count = p->getCollisionBoxes(getTransform(slot), out, -1);
    jint dx = 0, dy = 0;
    if (type == Paintable::TYPE_FRAME) {
        dx = offsetX(slot);
        dy = offsetY(slot);
    } else if (type == Paintable::TYPE_PLAYER) {
        AnimPlayer* player = playerOf(slot);
        dx = player->getX();
        dy = player->getY();
    }
    for (jint k = 0; k < out->length; ++k) {
        CollisionBox* box = out->get(k);
        if (box != nullptr) box->move(dx, dy);
    }
    return count;
}

// --- hit tests ----------------------------------------------------------------------------

bool Screen::quarterTurn(jint slot, jint& x, jint& y, jint& w, jint& h) {
    const jint t = getTransform(slot);
    if (t < 4 || t > 7) return false;
    const jint cx = x + w / 2, cy = y + h / 2;
    x = cx - h / 2;
    y = cy - w / 2;
    std::swap(w, h);
    return true;
}

jboolean Screen::collides(jint slot, jint boxId, VMPtr<Ints> area) {
    if (area == nullptr) _VM_throwNullPointer();
    VMPtr<CollisionBox> box = getCollisionBox(slot, boxId);
    if ((*area)[2] != 0 && (*area)[3] != 0) return box->containsRect((*area)[0], (*area)[1], (*area)[2], (*area)[3]);
    return box->contains((*area)[0], (*area)[1]);
}

jboolean Screen::collides(jint slot, jint boxId, VMPtr<CollisionBox> box) {
    if (box == nullptr) _VM_throwNullPointer();
    VMPtr<Ints> area = Ints::create(4);
    (*area)[0] = box->x;
    (*area)[1] = box->y;
    (*area)[2] = box->width;
    (*area)[3] = box->height;
    return collides(slot, boxId, area);
}

jboolean Screen::cornerTouches(jint slot, jint boxId, VMPtr<Ints> rect) {
    if (rect == nullptr) _VM_throwNullPointer();
    jint x = (*rect)[0], y = (*rect)[1], w = (*rect)[2], h = (*rect)[3];
    if (quarterTurn(slot, x, y, w, h)) {
        (*rect)[0] = x;
        (*rect)[1] = y;
        (*rect)[2] = w;
        (*rect)[3] = h;
    }
    VMPtr<Ints> probe = Ints::create(4);
    (*probe)[2] = 1;
    (*probe)[3] = 1;
    const jint corners[4][2] = {{x - w / 2, y - h / 2}, {x + w / 2, y - h / 2}, {x - w / 2, y + h / 2},
                                {x + w / 2, y + h / 2}};
    for (const auto& corner : corners) {
        (*probe)[0] = corner[0];
        (*probe)[1] = corner[1];
        if (collides(slot, boxId, probe)) return true;
    }
    return false;
}

jint Screen::getBoxIdAt(jint slot, VMPtr<CollisionBox> box) {
    if (box == nullptr) _VM_throwNullPointer();
    jint x = box->x, y = box->y, w = box->width, h = box->height;
    if (quarterTurn(slot, x, y, w, h)) {
        box->x = x;
        box->y = y;
        box->width = w;
        box->height = h;
    }
    const jint type = typeOf(slot);
    if (type != Paintable::TYPE_FRAME && type != Paintable::TYPE_PLAYER) return NONE;
    VMPtr<Ints> records = getAllCollisionRects(slot);
    for (jint k = 0; k < records->length / 5; ++k) {
        const jint* r = records->elements() + 5 * k;
        if (box->intersectsRect(r[0], r[1], r[2], r[3])) return r[4];
    }
    return NONE;
}

jint Screen::getBoxIdAt(jint slot, VMPtr<Ints> rect) {
    if (rect == nullptr) _VM_throwNullPointer();
    VMPtr<CollisionBox> box = CollisionBox::create()->construct();
    box->x = (*rect)[0];
    box->y = (*rect)[1];
    box->width = (*rect)[2];
    box->height = (*rect)[3];
    return getBoxIdAt(slot, box);
}

}  // namespace com::ventrix::ui

VM_REGISTER_CLASS(com::ventrix::ui::Screen, .name = "com.ventrix.ui.Screen",
                  .newInstance = _VM_newInstanceOf<com::ventrix::ui::Screen>)
