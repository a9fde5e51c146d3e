// ts.graphics.CollisionBox: the framework's hit-test shape, an axis-aligned
// rectangle (shape 3) or a circle given by its bounding square (shape 4:
// radius width >> 1, centred at x + r, y + r; the height plays no part in hit
// tests), with a box id (0 to 31 from the animation data). A box is itself a
// paintable and draws itself for debugging. Circle tests square and add in
// 64 bits, so far-apart boxes never collide by overflow.
#pragma once

#include "ts_Paintable.h"

namespace ts::graphics {

class CollisionBox : public Paintable {
    VM_DECLARE_CLASS(CollisionBox, Paintable)

public:
    static constexpr jint RECTANGLE = 3;
    static constexpr jint CIRCLE = 4;

    jint height = 0;
    jint colour = 0;  // ARGB, drawn with when useColour
    jint width = 0;
    jint id = 0;
    jint shape = 0;
    jboolean useColour = false;
    jint y = 0;
    jboolean filled = false;
    jint x = 0;

    // A rectangle box for temporary use (point tests, Gob boxes, rectangle
    // tests of circular boxes).
    static VMStatic<CollisionBox> scratch;
    // The two boxes of the last colliding pair, or null.
    static VMStatic<CollisionBox> firstHit;
    static VMStatic<CollisionBox> secondHit;

    VMPtr<CollisionBox> construct();
    VMPtr<CollisionBox> construct(jint shape);
    VMPtr<CollisionBox> construct(jint x, jint y, jint width, jint height, jint shape);
    VMPtr<CollisionBox> construct(VMPtr<CollisionBox> box, jint shape);

    // Paintable; the transform is ignored throughout.
    using Paintable::getCollisionRects;
    using Paintable::paint;
    jint getType() override;
    jint getHeight(jint transform) override;
    // Draws with the box moved by (dx, dy) for the time of the call.
    void paint(VMPtr<Graphics> g, jint dx, jint dy, jint transform) override;
    void paint(VMPtr<Graphics> g) override;
    // Itself, copied into boxes[0], when it has a size and the id matches.
    jint getCollisionBoxes(jint transform, VMPtr<Boxes> boxes, jint boxId) override;
    jint getWidth(jint transform) override;
    jint getCollisionBoxCount() override;
    jint getOffsetX(jint transform) override;
    jint getOffsetY(jint transform) override;

    virtual void setSize(jint width, jint height);
    virtual void setToIntersection(VMPtr<CollisionBox> a, VMPtr<CollisionBox> b);
    virtual void move(jint dx, jint dy);
    virtual jboolean intersectsRect(jint x, jint y, jint w, jint h);
    virtual jboolean collidesWithBox(VMPtr<CollisionBox> other);
    virtual void set(VMPtr<CollisionBox> other);
    virtual void setBounds(jint x, jint y, jint width, jint height);
    virtual void setPosition(jint x, jint y);
    virtual void copyTo(VMPtr<CollisionBox> other);
    virtual jboolean intersects(VMPtr<CollisionBox> other, jint x, jint y, jint transform);
    virtual jboolean intersects(VMPtr<CollisionBox> other, jint x, jint y);
    virtual jboolean containsRect(jint x, jint y, jint w, jint h);
    virtual jboolean contains(jint px, jint py);
    virtual jboolean containsBox(VMPtr<CollisionBox> other);
    virtual void copyAllTo(VMPtr<CollisionBox> other);
    virtual void setToUnion(VMPtr<CollisionBox> a, VMPtr<CollisionBox> b);
    virtual jboolean isEmpty();

    // "x,y:5,-3, WxH:10,20"
    VMPtr<java::lang::String> toString() override;

    static jboolean circleIntersectsRect(jint cx, jint cy, jint r, VMPtr<CollisionBox> box);
    // Every box of a against every box of b, a outermost; the first colliding
    // pair is kept in the hit boxes (both null when none collides).
    static jboolean collides(jint countA, VMPtr<Boxes> a, jint countB, VMPtr<Boxes> b);
    // The array when it holds at least n boxes, else a new one of max(n, 4)
    // new rectangle boxes.
    static VMPtr<Boxes> ensureCapacity(VMPtr<Boxes> array, jint n);
    static void clearHitBoxes();
    static void setHitBoxes(VMPtr<CollisionBox> first, VMPtr<CollisionBox> second);

    static void _VM_clinit();

    // Raw forms of the tests for callers that hold the boxes already.
    bool hits(const CollisionBox& other) const;
    static bool circleHitsRect(jlong cx, jlong cy, jlong r, jlong x, jlong y, jlong w, jlong h);
};

}  // namespace ts::graphics
