// ts.Frame: the paintable face of one frame of an animation set. It keeps the
// frame's bounding box at transform 0 and its index, and hands every drawing
// and collision request to its set. A whole-animation frame carries minus the
// animation's index and the union box of all its steps; it serves for size
// and offsets, and (unless it is animation 0's) draws nothing and has no
// parts and no boxes. Frames are made and cached by their set only.
#pragma once

#include "ts_Paintable.h"
#include "ts_graphics_Rect.h"

namespace ts {

class AnimSet;

class Frame : public Paintable {
    VM_DECLARE_CLASS(Frame, Paintable)

public:
    jshort height = 0;
    jshort offsetY = 0;
    jshort offsetX = 0;
    jshort width = 0;
    jshort index = 0;  // frame index, or minus the animation index
    VMField<AnimSet> set;

    // bounds: offset x, offset y, width, height at transform 0 (each cut to
    // 16 bits).
    VMPtr<Frame> construct(VMPtr<AnimSet> set, jint index, VMPtr<VMInts> bounds);

    using Paintable::getCollisionRects;
    using Paintable::paint;
    jint getType() override;
    jint getHeight(jint transform) override;
    void paint(VMPtr<Graphics> g, jint x, jint y, jint transform) override;
    jint getCollisionBoxes(jint transform, VMPtr<Boxes> boxes, jint boxId) override;
    jint getCollisionRects(jint transform, VMPtr<VMInts> rects, jint boxId) override;
    jint getWidth(jint transform) override;
    jint getCollisionBoxCount() override;
    jint getOffsetX(jint transform) override;
    jint getOffsetY(jint transform) override;

    virtual jint getIndex();
    virtual jint getPartCount();
    virtual jint getParts(jint transform, VMPtr<VMInts> out);
    // The box at (x, y) against r, transform 0, strict, no size test.
    virtual jboolean overlaps(VMPtr<graphics::Rect> r, jint x, jint y);
    virtual void getBounds(jint transform, VMPtr<VMInts> out);
    virtual VMPtr<AnimSet> getAnimSet();

    // A part with flip bits f inside a thing drawn with transform t is drawn
    // with t XOR f.
    static jint flipTransform(jint transform, jint flips) { return transform ^ (flips & 3); }
    static jboolean swapsAxes(jint transform) { return (transform & 4) != 0; }

    void markReferences(uint32_t bits) override {
        Paintable::markReferences(bits);
        _VM_markRef(set, bits);
    }
};

}  // namespace ts
