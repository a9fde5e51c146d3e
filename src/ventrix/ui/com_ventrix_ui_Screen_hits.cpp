// com.ventrix.ui.Screen: collision queries and hit tests
#include "com_ventrix_ui_Screen.h"

#include <algorithm>

#include "com_ventrix_utility_ResManager.h"
#include "ts_AnimSet.h"
#include "ts_Frame.h"
#include "ts_Gob.h"

namespace com::ventrix::ui {

using ts::AnimPlayer;
using ts::Paintable;
using utility::ResManager;

namespace {

constexpr jint NONE = -1;

// The box the rectangle form of getBoxIdAt hands to the box form, made once
// and set to a new box's values each time; a call made while it is in use
// (from an override of the box form) gets a box of its own.
VMStatic<ts::graphics::CollisionBox> rectBox;
bool rectBoxInUse = false;
// The box (and the one-element list its animation forms fill) that
// collides works in.
VMStatic<ts::graphics::CollisionBox> hitBox;
VMStatic<VMArray<ts::graphics::CollisionBox, 1>> hitBoxList;
bool hitBoxInUse = false;
// Set by the box-form hit test around its call of getAllCollisionRects: the
// list that call makes for this screen is read by the hit test alone.
const void* listForHitTest = nullptr;

}  // namespace

VMPtr<VMInts> Screen::getCollisionRect(jint slot, jint boxId) {
    VMPtr<VMInts> r = VMInts::create(5);
    placeCollisionRect(slot, boxId, r.get());
    return r;
}

void Screen::placeCollisionRect(jint slot, jint boxId, VMInts* r) {
    if (r == nullptr) _VM_throwNullPointer();
    if (r->length < 5) _VM_throwArrayIndexOutOfBoundsException(r->length);
    for (jint i = 0; i < 5; ++i) (*r)[i] = 0;
    const jint type = typeOf(slot);
    if (type == Paintable::TYPE_GOB) {
        VMPtr<ts::Gob> gob = firstImage(slot);
        (*r)[0] = gob->collisionX + gob->offsetX + offsetX(slot);
        (*r)[1] = gob->collisionY + gob->offsetY + offsetY(slot);
        (*r)[2] = gob->collisionWidth;
        (*r)[3] = gob->collisionHeight;
    } else if (type == Paintable::TYPE_FRAME) {
        VMPtr<VMInts> indices = slotIndices;
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
}

VMPtr<VMInts> Screen::fixedIdRect(jint slot, jint boxId) {
    VMPtr<VMInts> r = VMInts::create(5);
    const jint type = typeOf(slot);
    jint found = 0;
    if (type == Paintable::TYPE_FRAME) {
        VMPtr<VMInts> indices = slotIndices;
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

VMPtr<VMInts> Screen::getCollisionRect1(jint slot) { return fixedIdRect(slot, 1); }
VMPtr<VMInts> Screen::getCollisionRect2(jint slot) { return fixedIdRect(slot, 2); }
VMPtr<VMInts> Screen::getCollisionRect3(jint slot) { return fixedIdRect(slot, 3); }
VMPtr<VMInts> Screen::getCollisionRect4(jint slot) { return fixedIdRect(slot, 4); }

VMPtr<Screen::CollisionBox> Screen::getCollisionBox(jint slot, jint boxId) {
    VMPtr<CollisionBox> box = CollisionBox::create()->construct();
    const jint type = typeOf(slot);
    VMPtr<Boxes> one = type == Paintable::TYPE_FRAME || type == Paintable::TYPE_PLAYER ? Boxes::create(1) : nullptr;
    placeCollisionBox(slot, boxId, box.get(), one.get());
    return box;
}

void Screen::placeCollisionBox(jint slot, jint boxId, CollisionBox* box, Boxes* one) {
    const jint type = typeOf(slot);
    if (type == NONE) return;
    if (type == Paintable::TYPE_GOB) {
        VMPtr<ts::Gob> gob = firstImage(slot);
        box->setBounds(gob->collisionX + gob->offsetX, gob->collisionY + gob->offsetY, gob->collisionWidth,
                       gob->collisionHeight);
    } else if (type == Paintable::TYPE_FRAME || type == Paintable::TYPE_PLAYER) {
        one->set(0, box);
        if (type == Paintable::TYPE_FRAME) {
            VMPtr<VMInts> indices = slotIndices;
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
}

jint Screen::getCollisionBoxCount(jint slot) {
    switch (typeOf(slot)) {
        case Paintable::TYPE_GOB: return firstImage(slot)->getCollisionBoxCount();
        case Paintable::TYPE_FRAME: {
            VMPtr<VMInts> indices = slotIndices;
            return animSetOf(slot)->getCollisionBoxCount((*indices)[slot]);
        }
        case Paintable::TYPE_PLAYER: return playerOf(slot)->getCollisionBoxCount();
        default: return 0;
    }
}

VMPtr<VMInts> Screen::getAllCollisionRects(jint slot) {
    // A hit test's list is only read while the test runs: a stair or a zone
    // tested every frame writes over the list its last test left in scratch
    // (same length, zeroed first) instead of making one each time. A list
    // any other caller received is never written again.
    const bool forHitTest = listForHitTest == this;
    listForHitTest = nullptr;
    auto newList = [&](jint length) -> VMPtr<VMInts> {
        VMPtr<VMInts> kept = scratch;
        if (forHitTest && scratchForHitTest && kept != nullptr && kept->length == length) {
            std::fill_n(kept->elements(), length, 0);
            return kept;
        }
        return VMInts::create(length);
    };
    VMPtr<VMInts> list;
    const jint type = typeOf(slot);
    if (type == Paintable::TYPE_GOB) {
        VMPtr<ts::Gob> gob = firstImage(slot);
        list = newList(5);
        (*list)[0] = gob->collisionX + offsetX(slot);
        (*list)[1] = gob->collisionY + offsetY(slot);
        (*list)[2] = gob->collisionWidth;
        (*list)[3] = gob->collisionHeight;
    } else if (type == Paintable::TYPE_FRAME || type == Paintable::TYPE_PLAYER) {
        jint dx = offsetX(slot), dy = offsetY(slot);
        if (type == Paintable::TYPE_FRAME) {
            VMPtr<ts::AnimSet> set = animSetOf(slot);
            VMPtr<VMInts> indices = slotIndices;
            const jint frame = (*indices)[slot];
            list = newList(5 * set->getCollisionBoxCount(frame));
            set->getCollisionRects(frame, 0, list, -1);
        } else {
            AnimPlayer* player = playerOf(slot);
            list = newList(5 * player->getCollisionBoxCount());
            player->getCollisionRects(list);
            dx += player->getX();
            dy += player->getY();
        }
        for (jint k = 0; k < list->length / 5; ++k) {
            (*list)[5 * k] += dx;
            (*list)[5 * k + 1] += dy;
        }
    } else {
        list = newList(5);
    }
    scratch = list;
    scratchForHitTest = forHitTest;
    return list;
}

jint Screen::getCollisionRects(jint slot, VMPtr<VMInts> out) {
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

jint Screen::getCollisionRects(jint slot, VMPtr<VMInts> out, jint number) {
    VMPtr<Paintable> p = slotAt(slot);
    if (p == nullptr) return 0;
    if (out == nullptr) _VM_throwNullPointer();
    const jint count = p->getCollisionRects(getTransform(slot), out, number);
    jint dx = offsetX(slot), dy = offsetY(slot);
    if (p->getType() == Paintable::TYPE_PLAYER) {
        AnimPlayer* player = playerOf(slot);
        dx = player->getX();
        dy = player->getY();
    }
    for (jint k = 0; k < count && 5 * k + 1 < out->length; ++k) {
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

jboolean Screen::collides(jint slot, jint boxId, VMPtr<VMInts> area) {
    if (area == nullptr) _VM_throwNullPointer();
    return collidesWith(slot, boxId, (*area)[0], (*area)[1], (*area)[2], (*area)[3]);
}

jboolean Screen::collides(jint slot, jint boxId, VMPtr<CollisionBox> box) {
    if (box == nullptr) _VM_throwNullPointer();
    return collidesWith(slot, boxId, box->x, box->y, box->width, box->height);
}

bool Screen::collidesWith(jint slot, jint boxId, jint x, jint y, jint w, jint h) {
    // The game asks this of its traps, items and transports every frame:
    // the box is worked out in one made once (a test made while it is in
    // use gets boxes of its own), so a frame of play makes no garbage here.
    VMPtr<CollisionBox> box;
    VMPtr<Boxes> one;
    const bool shared = !hitBoxInUse;
    if (shared) {
        if (hitBox == nullptr) {
            hitBox = CollisionBox::create()->construct();
            hitBoxList = Boxes::create(1);
        }
        box = hitBox;
        one = hitBoxList;
        box->x = box->y = box->width = box->height = box->id = box->colour = 0;
        box->shape = CollisionBox::RECTANGLE;
        box->useColour = false;
        box->filled = false;
    } else {
        box = CollisionBox::create()->construct();
        one = Boxes::create(1);
    }
    struct InUse {
        explicit InUse(bool on) : on(on) {
            if (on) hitBoxInUse = true;
        }
        ~InUse() {
            if (on) hitBoxInUse = false;
        }
        bool on;
    } inUse(shared);
    placeCollisionBox(slot, boxId, box.get(), one.get());
    if (w != 0 && h != 0) return box->intersectsRect(x, y, w, h);
    return box->contains(x, y);
}

jboolean Screen::cornerTouches(jint slot, jint boxId, VMPtr<VMInts> rect) {
    if (rect == nullptr) _VM_throwNullPointer();
    jint x = (*rect)[0], y = (*rect)[1], w = (*rect)[2], h = (*rect)[3];
    if (quarterTurn(slot, x, y, w, h)) {
        (*rect)[0] = x;
        (*rect)[1] = y;
        (*rect)[2] = w;
        (*rect)[3] = h;
    }
    VMPtr<VMInts> probe = VMInts::create(4);
    (*probe)[2] = 1;
    (*probe)[3] = 1;
    const jint corners[4][2] = {
        {x - w / 2, y - h / 2}, {x + w / 2, y - h / 2}, {x - w / 2, y + h / 2}, {x + w / 2, y + h / 2}};
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
    struct ForHitTest {
        explicit ForHitTest(const void* screen) { listForHitTest = screen; }
        ~ForHitTest() { listForHitTest = nullptr; }
    };
    VMPtr<VMInts> records;
    {
        ForHitTest forHitTest(this);
        records = getAllCollisionRects(slot);
    }
    for (jint k = 0; k < records->length / 5; ++k) {
        const jint* r = records->elements() + 5 * k;
        if (box->intersectsRect(r[0], r[1], r[2], r[3])) return r[4];
    }
    return NONE;
}

jint Screen::getBoxIdAt(jint slot, VMPtr<VMInts> rect) {
    if (rect == nullptr) _VM_throwNullPointer();
    const jint x = (*rect)[0], y = (*rect)[1], w = (*rect)[2], h = (*rect)[3];
    VMPtr<CollisionBox> box;
    const bool shared = !rectBoxInUse;
    if (shared) {
        if (rectBox == nullptr) rectBox = CollisionBox::create()->construct();
        box = rectBox;
        box->colour = 0;
        box->id = 0;
        box->shape = CollisionBox::RECTANGLE;
        box->useColour = false;
        box->filled = false;
    } else {
        box = CollisionBox::create()->construct();
    }
    box->x = x;
    box->y = y;
    box->width = w;
    box->height = h;
    if (!shared) return getBoxIdAt(slot, box);
    struct InUse {
        InUse() { rectBoxInUse = true; }
        ~InUse() { rectBoxInUse = false; }
    } inUse;
    return getBoxIdAt(slot, box);
}

}  // namespace com::ventrix::ui
