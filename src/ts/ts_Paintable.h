// ts.Paintable: the abstract base of everything the framework draws and tests
// for collision (image parts, animation frames, animation players, collision
// boxes). It fixes the eight sprite transforms, the collision protocol (each
// paintable hands out its boxes, placed relative to its reference point and
// already transformed, as objects or as flat int records of x, y, width,
// height, box id) and two drawing operations.
//
// Transform codes are the MIDP sprite transforms 0 to 7, taken as three bits
// applied to a point relative to the reference point (y downwards): 2 negates
// x, 1 negates y, then 4 swaps x and y.
//
// The scratch arrays are shared by all paintables: the collision tests are
// not re-entrant and run on the canvas thread only.
#pragma once

#include "VM.h"
#include "javax_microedition_lcdui_Graphics.h"

namespace ts {

namespace graphics {
class CollisionBox;
}

class Paintable : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(Paintable, java::lang::Object)

public:
    using Graphics = javax::microedition::lcdui::Graphics;
    using Boxes = VMArray<graphics::CollisionBox, 1>;

    // Type codes of getType.
    static constexpr jint TYPE_GOB = 0;
    static constexpr jint TYPE_FRAME = 1;
    static constexpr jint TYPE_PLAYER = 2;
    static constexpr jint TYPE_RECTANGLE = 3;
    static constexpr jint TYPE_CIRCLE = 4;

    // Scratch lists of the two sides of a collision test, made on first use.
    static VMStatic<VMInts> scratchRectsA;
    static VMStatic<VMInts> scratchRectsB;
    static VMStatic<Boxes> scratchBoxesA;
    static VMStatic<Boxes> scratchBoxesB;

    VMPtr<Paintable> construct();

    // Object form: true when a box of this paintable (at x, y under
    // transform, filtered by boxId, -1 all) collides with one of other's; the
    // colliding pair is kept in CollisionBox's hit boxes.
    virtual jboolean collidesWith(jint x, jint y, jint transform, jint boxId, VMPtr<Paintable> other, jint otherX,
                                  jint otherY, jint otherTransform, jint otherBoxId);
    // Int form: on a hit, result (when not null, at least 6 entries) gets the
    // overlap rectangle and the two box ids.
    virtual jboolean collidesWith(jint x, jint y, jint transform, jint boxId, VMPtr<Paintable> other, jint otherX,
                                  jint otherY, jint otherTransform, jint otherBoxId, VMPtr<VMInts> result);
    // Repeats the paintable over the clip, the grid aligned to (x, y).
    virtual void paintTiled(VMPtr<Graphics> g, jint x, jint y);
    virtual jint getType() = 0;
    virtual jint getCollisionRects(jint transform, VMPtr<VMInts> rects);
    virtual jint getHeight(jint transform) = 0;
    // Draws with the reference point at (x, y).
    virtual void paint(VMPtr<Graphics> g, jint x, jint y, jint transform) = 0;
    virtual void paint(VMPtr<Graphics> g);
    // Fills boxes[0 .. n - 1] and returns n; none here.
    virtual jint getCollisionBoxes(jint transform, VMPtr<Boxes> boxes, jint boxId);
    // The same as records of 5 ints; none here.
    virtual jint getCollisionRects(jint transform, VMPtr<VMInts> rects, jint boxId);
    virtual jint getWidth(jint transform) = 0;
    virtual jint getCollisionBoxCount();
    virtual jint getOffsetX(jint transform) = 0;
    virtual jint getOffsetY(jint transform) = 0;

    // Overlap of two rectangles that both have a positive size; rectangles
    // that only touch do not intersect.
    static jboolean intersects(jint x1, jint y1, jint w1, jint h1, jint x2, jint y2, jint w2, jint h2);

    // The rectangle (ox, oy, w, h) relative to the reference point under a
    // transform: its left and top edges; the size swaps under bit 4.
    static jint transformedLeft(jint ox, jint oy, jint w, jint h, jint transform) {
        if (transform & 4) return (transform & 1) ? -(oy + h) : oy;
        return (transform & 2) ? -(ox + w) : ox;
    }
    static jint transformedTop(jint ox, jint oy, jint w, jint h, jint transform) {
        if (transform & 4) return (transform & 2) ? -(ox + w) : ox;
        return (transform & 1) ? -(oy + h) : oy;
    }
};

}  // namespace ts
