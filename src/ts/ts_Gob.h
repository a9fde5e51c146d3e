// ts.Gob: an image part, the smallest drawable of the framework: one
// rectangular image with a reference point, an optional collision box and an
// alpha kind (1 opaque, 2 some pixels fully transparent, 3 some partly
// transparent; handed to the renderer in bits 8 and 9 of the transform). It
// answers every size, offset, collision and paint request for any of the
// eight sprite transforms from its own fields, so one image serves all eight
// orientations. The image may be shared by several Gobs.
#pragma once

#include "java_io_DataInputStream.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_Paintable.h"
#include "ts_graphics_Rect.h"

namespace ts {

namespace graphics {
class RGBFilter;
}

class Gob : public Paintable {
    VM_DECLARE_CLASS(Gob, Paintable)

public:
    using Image = javax::microedition::lcdui::Image;
    using Gobs = VMArray<Gob, 1>;

    jshort offsetY = 0;
    jshort offsetX = 0;
    jshort collisionWidth = 0;  // 0: no box
    jshort height = 0;
    jbyte alphaKind = 0;
    jshort collisionX = 0;  // relative to the image's top-left corner
    jshort collisionY = 0;
    jshort collisionHeight = 0;  // 0: no box
    jboolean roundCollision = false;
    jshort width = 0;
    VMField<Image> image;

    // The rotation tables of rotateTransform, made on first use.
    static VMStatic<VMBytes> clockwise;
    static VMStatic<VMBytes> counterClockwise;

    VMPtr<Gob> construct();

    // Paintable.
    using Paintable::getCollisionRects;
    using Paintable::paint;
    jint getType() override;
    jint getHeight(jint transform) override;
    void paint(VMPtr<Graphics> g, jint x, jint y, jint transform) override;
    // Its one box; the box id is ignored.
    jint getCollisionBoxes(jint transform, VMPtr<Boxes> boxes, jint boxId) override;
    jint getCollisionRects(jint transform, VMPtr<VMInts> rects, jint boxId) override;
    jint getWidth(jint transform) override;
    jint getCollisionBoxCount() override;
    jint getOffsetX(jint transform) override;
    jint getOffsetY(jint transform) override;

    // Draws nothing; prints a notice.
    virtual void paintReserved(VMPtr<Graphics> g);
    // The collision box at (x, y) under the transform against a rectangle.
    virtual jboolean intersects(jint x, jint y, jint transform, jint rx, jint ry, jint rw, jint rh);
    virtual jboolean collidesWithGob(jint x, jint y, jint transform, VMPtr<Gob> other, jint ox, jint oy,
                                     jint otherTransform);
    virtual VMPtr<Gob> withAlpha(jint alpha);
    virtual VMPtr<Gob> toAlphaImage();
    virtual jboolean isAlphaImage();
    virtual void paintCollisionBox(VMPtr<Graphics> g, jint x, jint y, jint transform);
    virtual void setAlpha(jint alpha);
    virtual void applyFilter(VMPtr<graphics::RGBFilter> filter);
    // As collidesWithGob, the other's box moved by (dx, dy) and grown by
    // (dw, dh).
    virtual jboolean collidesWithGobMargin(jint x, jint y, jint transform, VMPtr<Gob> other, jint ox, jint oy,
                                           jint otherTransform, jint dx, jint dy, jint dw, jint dh);
    // Draws clipped by the insets (the right inset on the left edge under a
    // horizontal mirror, the bottom one on top under a vertical flip).
    virtual void paintInset(VMPtr<Graphics> g, jint x, jint y, jint transform, jint left, jint top, jint right,
                            jint bottom);
    // Writes the collision box placed at (x, y) under the transform (also
    // when there is none) and tells whether there is one.
    virtual jboolean getCollisionBox(VMPtr<graphics::CollisionBox> box, jint x, jint y, jint transform);
    virtual jboolean overlaps(VMPtr<graphics::Rect> r, jint x, jint y);
    virtual jint getAlpha();
    virtual void copyStateTo(VMPtr<Gob> other);
    virtual void copyImage(VMPtr<Gob> other);
    virtual VMPtr<Gob> getGob();
    virtual void copyImageTo(VMPtr<Gob> other);
    virtual void copyAttributesTo(VMPtr<Gob> other);
    // Sets the fields from a 10-entry record and cuts the Gob's image out of
    // the current (source) image at (record[2], record[3]). A Gob of width or
    // height 0 gets no image and draws nothing.
    virtual void setFromRecord(VMPtr<VMShorts> record);
    virtual void reserved();

    static jint rotateTransform(jint transform, jint quarterTurns);
    // Pairs of 5-int box records that intersect; out (when not null) gets the
    // overlap and the two box ids of the last hit in the first row that has
    // one.
    static jboolean intersectBoxLists(jint countA, VMPtr<VMInts> a, jint countB, VMPtr<VMInts> b, VMPtr<VMInts> out);
    static void setImageForAll(VMPtr<Gobs> gobs, jint imageId, VMPtr<VMBytes> palette,
                               VMPtr<java::io::DataInputStream> in);
    static void toAlphaImages(VMPtr<Gobs> gobs);
    static VMPtr<Gob> createFromRGB(VMPtr<VMInts> argb, jint width, jint height, jboolean processAlpha);

    static void _VM_clinit();

    void markReferences(uint32_t bits) override {
        Paintable::markReferences(bits);
        _VM_markRef(image, bits);
    }

    bool hasCollisionBox() const { return collisionWidth > 0 && collisionHeight > 0; }
};

}  // namespace ts
