// ts.graphics.CollisionBox: the framework's hit-test shape, a rectangle or a circle.
#include "ts_graphics_CollisionBox.h"

#include <algorithm>

#include "java_lang_StringBuffer.h"

namespace ts::graphics {

using i128 = __int128;

VMStatic<CollisionBox> CollisionBox::scratch;
VMStatic<CollisionBox> CollisionBox::firstHit;
VMStatic<CollisionBox> CollisionBox::secondHit;

void CollisionBox::_VM_clinit() {
    scratch = CollisionBox::create()->construct();
    firstHit = nullptr;
    secondHit = nullptr;
}

VMPtr<CollisionBox> CollisionBox::construct() { return construct(RECTANGLE); }

VMPtr<CollisionBox> CollisionBox::construct(jint boxShape) {
    Super::construct();
    shape = boxShape;
    return this;
}

VMPtr<CollisionBox> CollisionBox::construct(jint boxX, jint boxY, jint boxWidth, jint boxHeight, jint boxShape) {
    Super::construct();
    x = boxX;
    y = boxY;
    width = boxWidth;
    height = boxHeight;
    shape = boxShape;
    return this;
}

VMPtr<CollisionBox> CollisionBox::construct(VMPtr<CollisionBox> box, jint boxShape) {
    if (box == nullptr) _VM_throwNullPointer();
    return construct(box->x, box->y, box->width, box->height, boxShape);
}

jint CollisionBox::getType() { return shape; }
jint CollisionBox::getHeight(jint) { return height; }
jint CollisionBox::getWidth(jint) { return width; }
jint CollisionBox::getOffsetX(jint) { return x; }
jint CollisionBox::getOffsetY(jint) { return y; }

void CollisionBox::paint(VMPtr<Graphics> g, jint dx, jint dy, jint) {
    struct Restore {
        CollisionBox* box;
        jint x, y;
        ~Restore() {
            box->x = x;
            box->y = y;
        }
    } restore{this, x, y};
    x += dx;
    y += dy;
    paint(g);
}

void CollisionBox::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    if (width < 1 || height < 1) return;
    jint saved = 0;
    if (useColour) {
        saved = g->getAlphaColor();
        g->setAlphaColor(colour);
    }
    if (shape == CIRCLE) {
        if (filled) {
            g->fillArc(x, y, width - 1, height - 1, 0, 360);
        } else {
            g->drawArc(x, y, width - 1, height - 1, 0, 360);
        }
    } else if (filled) {
        g->fillRect(x, y, width, height);
    } else {
        g->drawRect(x, y, width - 1, height - 1);
    }
    if (useColour) g->setAlphaColor(saved);
}

jint CollisionBox::getCollisionBoxes(jint, VMPtr<Boxes> boxes, jint boxId) {
    if (width > 0 && height > 0 && (boxId < 0 || boxId == id)) {
        if (boxes == nullptr) _VM_throwNullPointer();
        if (boxes->length >= 1) copyTo(boxes->get(0));
        return 1;
    }
    return 0;
}

jint CollisionBox::getCollisionBoxCount() { return width > 0 && height > 0 ? 1 : 0; }

void CollisionBox::setSize(jint w, jint h) {
    width = w;
    height = h;
}

void CollisionBox::setToIntersection(VMPtr<CollisionBox> a, VMPtr<CollisionBox> b) {
    if (a == nullptr || b == nullptr) _VM_throwNullPointer();
    const jint nx = std::max(a->x, b->x), ny = std::max(a->y, b->y);
    const jint right = std::min(a->x + a->width, b->x + b->width);
    const jint bottom = std::min(a->y + a->height, b->y + b->height);
    x = nx;
    y = ny;
    width = right - nx;
    height = bottom - ny;
    shape = RECTANGLE;
}

void CollisionBox::move(jint dx, jint dy) {
    x += dx;
    y += dy;
}

bool CollisionBox::circleHitsRect(jlong cx, jlong cy, jlong r, jlong bx, jlong by, jlong bw, jlong bh) {
    const jlong hw = bw >> 1, hh = bh >> 1;
    jlong dx = cx - bx - hw, dy = cy - by - hh;
    if (dx < 0) dx = -dx;
    if (dy < 0) dy = -dy;
    if (dx > hw + r || dy > hh + r) return false;
    if (dx > hw && dy > hh) {
        const i128 ex = dx - hw, ey = dy - hh;
        return ex * ex + ey * ey <= i128(r) * r;
    }
    return true;
}

jboolean CollisionBox::intersectsRect(jint rx, jint ry, jint rw, jint rh) {
    if (shape == RECTANGLE) return Paintable::intersects(x, y, width, height, rx, ry, rw, rh);
    const jlong r = width >> 1;
    return circleHitsRect(jlong(x) + r, jlong(y) + r, r, rx, ry, rw, rh);
}

bool CollisionBox::hits(const CollisionBox& other) const {
    const jlong r = width >> 1, r2 = other.width >> 1;
    if (shape == RECTANGLE) {
        if (other.shape == RECTANGLE) {
            return Paintable::intersects(x, y, width, height, other.x, other.y, other.width, other.height);
        }
        return circleHitsRect(other.x + r2, other.y + r2, r2, x, y, width, height);
    }
    if (other.shape == RECTANGLE) return circleHitsRect(x + r, y + r, r, other.x, other.y, other.width, other.height);
    // Two circles: touching ones collide.
    const i128 dx = (x + r) - (other.x + r2), dy = (y + r) - (other.y + r2), sum = r + r2;
    return dx * dx + dy * dy <= sum * sum;
}

jboolean CollisionBox::collidesWithBox(VMPtr<CollisionBox> other) {
    if (other == nullptr) _VM_throwNullPointer();
    return hits(*other);
}

void CollisionBox::set(VMPtr<CollisionBox> other) {
    if (other == nullptr) _VM_throwNullPointer();
    setBounds(other->x, other->y, other->width, other->height);
}

void CollisionBox::setBounds(jint bx, jint by, jint bw, jint bh) {
    x = bx;
    y = by;
    width = bw;
    height = bh;
}

void CollisionBox::setPosition(jint px, jint py) {
    x = px;
    y = py;
}

void CollisionBox::copyTo(VMPtr<CollisionBox> other) {
    if (other == nullptr) _VM_throwNullPointer();
    other->x = x;
    other->y = y;
    other->width = width;
    other->height = height;
    other->id = id;
    other->shape = shape;
}

jboolean CollisionBox::intersects(VMPtr<CollisionBox> other, jint px, jint py, jint transform) {
    if (other == nullptr) _VM_throwNullPointer();
    const jlong left = jlong(px) + getOffsetX(transform), top = jlong(py) + getOffsetY(transform);
    return jlong(other->x) + other->width > left && jlong(other->y) + other->height > top &&
           left + getWidth(transform) > other->x && top + getHeight(transform) > other->y;
}

jboolean CollisionBox::intersects(VMPtr<CollisionBox> other, jint px, jint py) { return intersects(other, px, py, 0); }

jboolean CollisionBox::containsRect(jint rx, jint ry, jint rw, jint rh) {
    return rx >= x && ry >= y && jlong(x) + width >= jlong(rx) + rw && jlong(y) + height >= jlong(ry) + rh && rw >= 1 &&
           rh >= 1 && width >= 1 && height >= 1;
}

jboolean CollisionBox::contains(jint px, jint py) {
    if (shape == RECTANGLE) {
        return width >= 1 && height >= 1 && x <= px && px < jlong(x) + width && y <= py && py < jlong(y) + height;
    }
    // A point on the circle is outside.
    const jlong r = width >> 1;
    const i128 dx = jlong(px) - x - r, dy = jlong(py) - y - r;
    return dx * dx + dy * dy < i128(r) * r;
}

jboolean CollisionBox::containsBox(VMPtr<CollisionBox> other) {
    if (other == nullptr) _VM_throwNullPointer();
    return containsRect(other->x, other->y, other->width, other->height);
}

void CollisionBox::copyAllTo(VMPtr<CollisionBox> other) {
    copyTo(other);
    other->filled = filled;
    other->colour = colour;
    other->useColour = useColour;
}

void CollisionBox::setToUnion(VMPtr<CollisionBox> a, VMPtr<CollisionBox> b) {
    if (a == nullptr || b == nullptr) _VM_throwNullPointer();
    const jint nx = std::min(a->x, b->x), ny = std::min(a->y, b->y);
    const jint right = std::max(a->x + a->width, b->x + b->width);
    const jint bottom = std::max(a->y + a->height, b->y + b->height);
    x = nx;
    y = ny;
    width = right - nx;
    height = bottom - ny;
    shape = RECTANGLE;
}

jboolean CollisionBox::isEmpty() { return width <= 0 || height <= 0; }

VMPtr<java::lang::String> CollisionBox::toString() {
    VMPtr<java::lang::StringBuffer> text = java::lang::StringBuffer::create()->construct();
    text->append(VM_STR("x,y:"))->append(x)->append(jchar(','))->append(y);
    text->append(VM_STR(", WxH:"))->append(width)->append(jchar(','))->append(height);
    return text->toString();
}

jboolean CollisionBox::circleIntersectsRect(jint cx, jint cy, jint r, VMPtr<CollisionBox> box) {
    if (box == nullptr) _VM_throwNullPointer();
    return circleHitsRect(cx, cy, r, box->x, box->y, box->width, box->height);
}

jboolean CollisionBox::collides(jint countA, VMPtr<Boxes> a, jint countB, VMPtr<Boxes> b) {
    _VM_ensureInitialized(_VM_classRecord);
    for (jint i = 0; i < countA; ++i) {
        CollisionBox* boxA = a->get(i);
        if (boxA == nullptr) _VM_throwNullPointer();
        for (jint j = 0; j < countB; ++j) {
            CollisionBox* boxB = b->get(j);
            if (boxB == nullptr) _VM_throwNullPointer();
            if (boxA->hits(*boxB)) {
                firstHit = boxA;
                secondHit = boxB;
                return true;
            }
        }
    }
    clearHitBoxes();
    return false;
}

VMPtr<Paintable::Boxes> CollisionBox::ensureCapacity(VMPtr<Boxes> array, jint n) {
    if (array != nullptr && array->length >= n) return array;
    VMPtr<Boxes> boxes = Boxes::create(std::max(n, jint(4)));
    for (jint i = 0; i < boxes->length; ++i) boxes->set(i, CollisionBox::create()->construct());
    return boxes;
}

void CollisionBox::clearHitBoxes() {
    _VM_ensureInitialized(_VM_classRecord);
    firstHit = nullptr;
    secondHit = nullptr;
}

void CollisionBox::setHitBoxes(VMPtr<CollisionBox> first, VMPtr<CollisionBox> second) {
    _VM_ensureInitialized(_VM_classRecord);
    firstHit = first;
    secondHit = second;
}

}  // namespace ts::graphics

VM_REGISTER_CLASS(ts::graphics::CollisionBox, .name = "ts.graphics.CollisionBox",
                  .staticInit = ts::graphics::CollisionBox::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<ts::graphics::CollisionBox>)
