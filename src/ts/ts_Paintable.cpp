// ts.Paintable: the base of everything the framework draws and tests for collision.
#include "ts_Paintable.h"

#include <algorithm>

#include "ts_Gob.h"
#include "ts_graphics_CollisionBox.h"

namespace ts {

using graphics::CollisionBox;

VMStatic<VMInts> Paintable::scratchRectsA;
VMStatic<VMInts> Paintable::scratchRectsB;
VMStatic<Paintable::Boxes> Paintable::scratchBoxesA;
VMStatic<Paintable::Boxes> Paintable::scratchBoxesB;

VMPtr<Paintable> Paintable::construct() {
    Super::construct();
    return this;
}

jboolean Paintable::collidesWith(jint x, jint y, jint transform, jint boxId, VMPtr<Paintable> other, jint otherX,
                                 jint otherY, jint otherTransform, jint otherBoxId) {
    _VM_ensureInitialized(_VM_classRecord);
    if (other == nullptr) _VM_throwNullPointer();
    const jint countA = getCollisionBoxCount();
    const jint countB = other->getCollisionBoxCount();
    if (countA < 1 || countB < 1) {
        CollisionBox::clearHitBoxes();
        return false;
    }
    scratchBoxesA = CollisionBox::ensureCapacity(scratchBoxesA, countA);
    VMPtr<Boxes> a = scratchBoxesA;
    const jint k1 = getCollisionBoxes(transform, a, boxId);
    for (jint i = 0; i < k1; ++i) a->get(i)->move(x, y);
    scratchBoxesB = CollisionBox::ensureCapacity(scratchBoxesB, countB);
    VMPtr<Boxes> b = scratchBoxesB;
    const jint k2 = other->getCollisionBoxes(otherTransform, b, otherBoxId);
    for (jint i = 0; i < k2; ++i) b->get(i)->move(otherX, otherY);
    return CollisionBox::collides(k1, a, k2, b);
}

jboolean Paintable::collidesWith(jint x, jint y, jint transform, jint boxId, VMPtr<Paintable> other, jint otherX,
                                 jint otherY, jint otherTransform, jint otherBoxId, VMPtr<VMInts> result) {
    _VM_ensureInitialized(_VM_classRecord);
    if (other == nullptr) _VM_throwNullPointer();
    const jint countA = getCollisionBoxCount();
    const jint countB = other->getCollisionBoxCount();
    if (countA < 1 || countB < 1) return false;
    if (scratchRectsA == nullptr || scratchRectsA->length < countA * 5) scratchRectsA = VMInts::create(countA * 5);
    VMPtr<VMInts> a = scratchRectsA;
    const jint k1 = getCollisionRects(transform, a, boxId);
    for (jint i = 0; i < k1; ++i) {
        (*a)[5 * i] += x;
        (*a)[5 * i + 1] += y;
    }
    if (scratchRectsB == nullptr || scratchRectsB->length < countB * 5) scratchRectsB = VMInts::create(countB * 5);
    VMPtr<VMInts> b = scratchRectsB;
    const jint k2 = other->getCollisionRects(otherTransform, b, otherBoxId);
    for (jint i = 0; i < k2; ++i) {
        (*b)[5 * i] += otherX;
        (*b)[5 * i + 1] += otherY;
    }
    return Gob::intersectBoxLists(k1, a, k2, b, result);
}

void Paintable::paintTiled(VMPtr<Graphics> g, jint x, jint y) {
    if (g == nullptr) _VM_throwNullPointer();
    const jlong cx = g->getClipX(), cy = g->getClipY();
    const jlong right = cx + g->getClipWidth(), bottom = cy + g->getClipHeight();
    const jlong w = getWidth(0), h = getHeight(0);
    // A cell without size would never advance the grid: nothing to draw.
    if (w <= 0 || h <= 0) return;
    jlong x0 = jlong(x) + getOffsetX(0), y0 = jlong(y) + getOffsetY(0);
    if (x0 < cx) x0 = cx - (cx - x0) % w;
    if (y0 < cy) y0 = cy - (cy - y0) % h;
    for (jlong row = y0; row < bottom; row += h) {
        for (jlong column = x0; column < right; column += w) paint(g, jint(column), jint(row), 0);
    }
}

jint Paintable::getCollisionRects(jint transform, VMPtr<VMInts> rects) {
    return getCollisionRects(transform, rects, -1);
}

void Paintable::paint(VMPtr<Graphics> g) { paint(g, 0, 0, 0); }

jint Paintable::getCollisionBoxes(jint, VMPtr<Boxes>, jint) { return 0; }

jint Paintable::getCollisionRects(jint, VMPtr<VMInts>, jint) { return 0; }

jint Paintable::getCollisionBoxCount() { return 0; }

jboolean Paintable::intersects(jint x1, jint y1, jint w1, jint h1, jint x2, jint y2, jint w2, jint h2) {
    // In 64 bits: far-apart rectangles never meet by overflow.
    return jlong(x2) + w2 > x1 && jlong(y2) + h2 > y1 && jlong(x1) + w1 > x2 && jlong(y1) + h1 > y2 && w1 >= 1 &&
           h1 >= 1 && w2 >= 1 && h2 >= 1;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::Paintable, .name = "ts.Paintable", .isAbstract = true)
