// ts.Frame: the paintable face of one frame of an animation set.
#include "ts_Frame.h"

#include "ts_AnimSet.h"

namespace ts {

VMPtr<Frame> Frame::construct(VMPtr<AnimSet> owner, jint frameIndex, VMPtr<VMInts> bounds) {
    Super::construct();
    set = owner;
    index = jshort(frameIndex);
    if (bounds == nullptr) _VM_throwNullPointer();
    offsetX = jshort(bounds->get(0));
    offsetY = jshort(bounds->get(1));
    width = jshort(bounds->get(2));
    height = jshort(bounds->get(3));
    return this;
}

jint Frame::getType() { return TYPE_FRAME; }

jint Frame::getHeight(jint transform) { return (transform & 4) ? width : height; }

jint Frame::getWidth(jint transform) { return (transform & 4) ? height : width; }

jint Frame::getOffsetX(jint transform) { return transformedLeft(offsetX, offsetY, width, height, transform); }

jint Frame::getOffsetY(jint transform) { return transformedTop(offsetX, offsetY, width, height, transform); }

void Frame::paint(VMPtr<Graphics> g, jint x, jint y, jint transform) {
    if (index < 0) return;  // a whole-animation frame other than animation 0's
    set->paintFrame(g, index, x, y, transform);
}

jint Frame::getCollisionBoxes(jint transform, VMPtr<Boxes> boxes, jint boxId) {
    if (index < 0) return 0;
    return set->getCollisionBoxes(index, transform, boxes, boxId);
}

jint Frame::getCollisionRects(jint transform, VMPtr<VMInts> rects, jint boxId) {
    if (index < 0) return 0;
    return set->getCollisionRects(index, transform, rects, boxId);
}

jint Frame::getCollisionBoxCount() { return index >= 0 ? set->getCollisionBoxCount(index) : 0; }

jint Frame::getIndex() { return index < 0 ? -index : index; }

jint Frame::getPartCount() { return index >= 0 ? set->getPartCount(index) : 0; }

jint Frame::getParts(jint transform, VMPtr<VMInts> out) {
    if (index < 0) return 0;
    return set->getFrameParts(index, transform, out);
}

jboolean Frame::overlaps(VMPtr<graphics::Rect> r, jint x, jint y) {
    if (r == nullptr) _VM_throwNullPointer();
    const jlong left = jlong(x) + offsetX, top = jlong(y) + offsetY;
    return jlong(r->x) + r->width > left && jlong(r->y) + r->height > top && left + width > r->x && top + height > r->y;
}

void Frame::getBounds(jint transform, VMPtr<VMInts> out) {
    if (out == nullptr) _VM_throwNullPointer();
    (*out)[0] = getOffsetX(transform);
    (*out)[1] = getOffsetY(transform);
    (*out)[2] = getWidth(transform);
    (*out)[3] = getHeight(transform);
}

VMPtr<AnimSet> Frame::getAnimSet() { return set; }

}  // namespace ts

VM_REGISTER_CLASS(ts::Frame, .name = "ts.Frame")
