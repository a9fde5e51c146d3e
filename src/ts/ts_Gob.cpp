// ts.Gob: an image part, the smallest drawable of the framework.
#include "ts_Gob.h"

#include <algorithm>

#include "java_io_PrintStream.h"
#include "java_lang_System.h"
#include "ts_GobAlphaImage.h"
#include "ts_Resources.h"
#include "ts_TsCanvas.h"
#include "ts_graphics_CollisionBox.h"

namespace ts {

using graphics::CollisionBox;
using javax::microedition::lcdui::Graphics;

VMStatic<VMBytes> Gob::clockwise;
VMStatic<VMBytes> Gob::counterClockwise;

void Gob::_VM_clinit() {
    clockwise = nullptr;
    counterClockwise = nullptr;
}

VMPtr<Gob> Gob::construct() {
    Super::construct();
    alphaKind = 0;
    return this;
}

namespace {

// The rectangle (ox, oy, w, h) under a transform.
struct Placed {
    jint x, y, w, h;
};

inline Placed place(jint ox, jint oy, jint w, jint h, jint t) {
    if (t & 4) return {Paintable::transformedLeft(ox, oy, w, h, t), Paintable::transformedTop(ox, oy, w, h, t), h, w};
    return {Paintable::transformedLeft(ox, oy, w, h, t), Paintable::transformedTop(ox, oy, w, h, t), w, h};
}

inline Placed placeBox(const Gob& gob, jint t) {
    return place(gob.offsetX + gob.collisionX, gob.offsetY + gob.collisionY, gob.collisionWidth, gob.collisionHeight,
                 t);
}

}  // namespace

jint Gob::getType() { return TYPE_GOB; }

jint Gob::getHeight(jint transform) { return (transform & 4) ? width : height; }

jint Gob::getWidth(jint transform) { return (transform & 4) ? height : width; }

jint Gob::getOffsetX(jint transform) { return transformedLeft(offsetX, offsetY, width, height, transform); }

jint Gob::getOffsetY(jint transform) { return transformedTop(offsetX, offsetY, width, height, transform); }

void Gob::paint(VMPtr<Graphics> g, jint x, jint y, jint transform) {
    const jint dx = x + getOffsetX(transform), dy = y + getOffsetY(transform);
    if (width < 1 || height < 1) return;
    if (g == nullptr) _VM_throwNullPointer();
    g->drawRegion(image, 0, 0, width, height, transform | alphaKind << 8, dx, dy, Graphics::TOP | Graphics::LEFT);
}

jint Gob::getCollisionBoxes(jint transform, VMPtr<Boxes> boxes, jint) {
    if (!hasCollisionBox()) return 0;
    if (boxes == nullptr) _VM_throwNullPointer();
    if (boxes->length >= 1) getCollisionBox(boxes->get(0), 0, 0, transform);
    return 1;
}

jint Gob::getCollisionRects(jint transform, VMPtr<VMInts> rects, jint) {
    if (!hasCollisionBox()) return 0;
    if (rects == nullptr) _VM_throwNullPointer();
    if (rects->length >= 5) {
        const Placed box = placeBox(*this, transform);
        jint* out = rects->elements();
        out[0] = box.x;
        out[1] = box.y;
        out[2] = box.w;
        out[3] = box.h;
        out[4] = -1;
    }
    return 1;
}

jint Gob::getCollisionBoxCount() { return hasCollisionBox() ? 1 : 0; }

void Gob::paintReserved(VMPtr<Graphics>) {
    _VM_ensureInitialized(java::lang::System::_VM_classRecord);
    VMPtr<java::io::PrintStream> out = java::lang::System::out;
    out->println(VM_STR("<UPCOMING FEATURE COMING SOON> This is not yet implemented"));
}

jboolean Gob::intersects(jint x, jint y, jint transform, jint rx, jint ry, jint rw, jint rh) {
    const Placed box = placeBox(*this, transform);
    return Paintable::intersects(x + box.x, y + box.y, box.w, box.h, rx, ry, rw, rh);
}

jboolean Gob::collidesWithGob(jint x, jint y, jint transform, VMPtr<Gob> other, jint ox, jint oy, jint otherTransform) {
    return collidesWithGobMargin(x, y, transform, other, ox, oy, otherTransform, 0, 0, 0, 0);
}

jboolean Gob::collidesWithGobMargin(jint x, jint y, jint transform, VMPtr<Gob> other, jint ox, jint oy,
                                    jint otherTransform, jint dx, jint dy, jint dw, jint dh) {
    if (other == nullptr) _VM_throwNullPointer();
    const Placed box = placeBox(*other, otherTransform);
    return intersects(x, y, transform, ox + box.x + dx, oy + box.y + dy, box.w + dw, box.h + dh);
}

VMPtr<Gob> Gob::withAlpha(jint alpha) {
    VMPtr<Gob> r = toAlphaImage();
    r->setAlpha(alpha);
    return r;
}

VMPtr<Gob> Gob::toAlphaImage() { return GobAlphaImage::create()->construct(this); }

jboolean Gob::isAlphaImage() { return false; }

void Gob::paintCollisionBox(VMPtr<Graphics> g, jint x, jint y, jint transform) {
    _VM_ensureInitialized(CollisionBox::_VM_classRecord);
    VMPtr<CollisionBox> box = CollisionBox::scratch;
    if (getCollisionBox(box, x, y, transform)) box->paint(g);
}

void Gob::setAlpha(jint) {}

void Gob::applyFilter(VMPtr<graphics::RGBFilter>) {}

void Gob::paintInset(VMPtr<Graphics> g, jint x, jint y, jint transform, jint left, jint top, jint right, jint bottom) {
    if (left == 0 && top == 0 && right == 0 && bottom == 0) {
        paint(g, x, y, transform);
        return;
    }
    if (g == nullptr) _VM_throwNullPointer();
    const jint clipX = g->getClipX(), clipY = g->getClipY(), clipW = g->getClipWidth(), clipH = g->getClipHeight();
    const jint cx = x + getOffsetX(transform) + ((transform & 2) ? right : left);
    const jint cy = y + getOffsetY(transform) + ((transform & 1) ? bottom : top);
    struct Restore {
        Graphics* g;
        jint x, y, w, h;
        ~Restore() { g->setClip(x, y, w, h); }
    } restore{g.get(), clipX, clipY, clipW, clipH};
    g->clipRect(cx, cy, width - left - right, height - top - bottom);
    paint(g, x, y, transform);
}

jboolean Gob::getCollisionBox(VMPtr<CollisionBox> box, jint x, jint y, jint transform) {
    if (box == nullptr) _VM_throwNullPointer();
    const Placed placed = placeBox(*this, transform);
    box->x = x + placed.x;
    box->y = y + placed.y;
    box->width = placed.w;
    box->height = placed.h;
    box->id = -1;
    box->shape = roundCollision ? CollisionBox::CIRCLE : CollisionBox::RECTANGLE;
    return hasCollisionBox();
}

jboolean Gob::overlaps(VMPtr<graphics::Rect> r, jint x, jint y) {
    if (r == nullptr) _VM_throwNullPointer();
    const jlong left = jlong(x) + offsetX, top = jlong(y) + offsetY;
    return jlong(r->x) + r->width > left && jlong(r->y) + r->height > top && left + width > r->x && top + height > r->y;
}

jint Gob::getAlpha() { return 255; }

void Gob::copyStateTo(VMPtr<Gob>) {}

void Gob::copyImage(VMPtr<Gob> other) { copyImageTo(other); }

VMPtr<Gob> Gob::getGob() { return this; }

void Gob::copyImageTo(VMPtr<Gob> other) {
    if (other == nullptr) _VM_throwNullPointer();
    other->image = image;
}

void Gob::copyAttributesTo(VMPtr<Gob> other) {
    if (other == nullptr) _VM_throwNullPointer();
    other->alphaKind = alphaKind;
    other->offsetX = offsetX;
    other->offsetY = offsetY;
    other->width = width;
    other->height = height;
    other->collisionX = collisionX;
    other->collisionY = collisionY;
    other->collisionWidth = collisionWidth;
    other->collisionHeight = collisionHeight;
    other->roundCollision = roundCollision;
}

void Gob::setFromRecord(VMPtr<VMShorts> record) {
    if (record == nullptr) _VM_throwNullPointer();
    offsetX = record->get(0);
    offsetY = record->get(1);
    const jint sourceX = record->get(2), sourceY = record->get(3);
    width = record->get(4);
    height = record->get(5);
    collisionX = record->get(6);
    collisionY = record->get(7);
    const jint boxWidth = record->get(8);
    collisionWidth = jshort(boxWidth & 0x7FFF);
    roundCollision = (boxWidth & 0x8000) != 0;
    collisionHeight = record->get(9);
    // A Gob without size (a font's space glyph) has nothing to cut.
    if (width == 0 || height == 0) {
        image = nullptr;
        return;
    }
    image = Image::createImage(image, sourceX, sourceY, width, height, alphaKind << 8);
}

void Gob::reserved() {}

jint Gob::rotateTransform(jint transform, jint quarterTurns) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<VMBytes> table;
    jint turns;
    if (quarterTurns > 0) {
        if (clockwise == nullptr) {
            static const jbyte values[8] = {5, 4, 7, 6, 2, 3, 0, 1};
            VMPtr<VMBytes> t = VMBytes::create(8);
            for (jint i = 0; i < 8; ++i) (*t)[i] = values[i];
            clockwise = t;
        }
        table = clockwise;
        turns = quarterTurns % 4;
    } else {
        if (counterClockwise == nullptr) {
            static const jbyte values[8] = {6, 7, 4, 5, 1, 0, 3, 2};
            VMPtr<VMBytes> t = VMBytes::create(8);
            for (jint i = 0; i < 8; ++i) (*t)[i] = values[i];
            counterClockwise = t;
        }
        table = counterClockwise;
        turns = jint(-jlong(quarterTurns) % 4);
    }
    for (jint i = 0; i < turns; ++i) transform = (*table)[transform];
    return transform;
}

jboolean Gob::intersectBoxLists(jint countA, VMPtr<VMInts> a, jint countB, VMPtr<VMInts> b, VMPtr<VMInts> out) {
    jboolean hit = false;
    for (jint i = 0; i < countA; ++i) {
        const jint ax = a->get(5 * i), ay = a->get(5 * i + 1), aw = a->get(5 * i + 2), ah = a->get(5 * i + 3);
        for (jint j = 0; j < countB; ++j) {
            const jint bx = b->get(5 * j), by = b->get(5 * j + 1), bw = b->get(5 * j + 2), bh = b->get(5 * j + 3);
            if (!Paintable::intersects(ax, ay, aw, ah, bx, by, bw, bh)) continue;
            hit = true;
            if (out != nullptr) {
                const jint x = std::max(ax, bx), y = std::max(ay, by);
                (*out)[0] = x;
                (*out)[1] = y;
                (*out)[2] = std::min(ax + aw, bx + bw) - x;
                (*out)[3] = std::min(ay + ah, by + bh) - y;
                (*out)[4] = a->get(5 * i + 4);
                (*out)[5] = b->get(5 * j + 4);
            }
        }
        if (hit && out != nullptr) break;
    }
    return hit;
}

void Gob::setImageForAll(VMPtr<Gobs> gobs, jint imageId, VMPtr<VMBytes> palette, VMPtr<java::io::DataInputStream>) {
    VMPtr<Image> shared = Resources::getImage(imageId, palette);
    if (gobs == nullptr) _VM_throwNullPointer();
    for (jint i = 0; i < gobs->length; ++i) {
        Gob* gob = gobs->get(i);
        if (gob == nullptr) _VM_throwNullPointer();
        gob->image = shared;
    }
}

void Gob::toAlphaImages(VMPtr<Gobs> gobs) {
    if (gobs == nullptr) _VM_throwNullPointer();
    if (gobs->length == 0) return;
    VMPtr<Gob> first = gobs->get(0);
    if (first->isAlphaImage()) return;
    for (jint i = 0; i < gobs->length; ++i) {
        VMPtr<Gob> gob = gobs->get(i);
        gobs->set(i, gob->toAlphaImage());
    }
}

VMPtr<Gob> Gob::createFromRGB(VMPtr<VMInts> argb, jint w, jint h, jboolean processAlpha) {
    VMPtr<Gob> gob = Gob::create()->construct();
    if (argb == nullptr) _VM_throwNullPointer();
    gob->alphaKind = jbyte(processAlpha ? TsCanvas::getAlphaKind(argb, 0, 0, 0, 0, argb->length, 1) : 1);
    gob->image = TsCanvas::createRGBImage(argb, w, h, processAlpha);
    gob->width = gob->collisionWidth = jshort(w);
    gob->height = gob->collisionHeight = jshort(h);
    return gob;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::Gob, .name = "ts.Gob", .staticInit = ts::Gob::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<ts::Gob>)
