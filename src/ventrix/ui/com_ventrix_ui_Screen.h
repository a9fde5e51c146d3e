// com.ventrix.ui.Screen: the base of every on-screen game object. It holds
// a fixed number of slots, each one drawable layer:
//   an image slot   one image (ts.Gob) of an image resource in the cache;
//   a frame slot    one frame (ts.Frame) of a cached animation set;
//   an animation    a player (ts.AnimPlayer) of its own over a cached set.
// A slot has a drawing offset (animation slots keep their position in the
// player), a sprite transform, an optional clip and an optional timed
// sequence of indices. The object has an origin subtracted from every
// drawing position, an optional full-screen background (one colour or a
// gradient) and coloured rectangles painted at one layer among the slots.
// Slots take their images and animation sets from ResManager by resource
// id and give the references back when released.
//
// Collision queries place boxes in the space of the slot offsets (the
// origin is never added); image slots answer them from image 0 of their
// list whatever image they show.
#pragma once

#include "VM.h"
#include "com_ventrix_utility_MyObject.h"
#include "ts_AnimPlayer.h"
#include "ts_Paintable.h"
#include "ts_graphics_CollisionBox.h"

namespace com::ventrix::ui {

class Screen : public utility::MyObject {
    VM_DECLARE_CLASS(Screen, utility::MyObject)

public:
    using CollisionBox = ts::graphics::CollisionBox;
    using Boxes = VMArray<CollisionBox, 1>;

    static constexpr jint SCREEN_WIDTH = 480;
    static constexpr jint SCREEN_HEIGHT = 640;
    // The codes of getSlotKind.
    static constexpr jint KIND_ANIMATION = 0;
    static constexpr jint KIND_FRAME = 1;
    static constexpr jint KIND_IMAGE = 2;
    static constexpr jint KIND_NONE = -1;

    VMField<VMInts> scratch;                      // the list getAllCollisionRects made last
    // The list in scratch was made for a box-form hit test and never handed
    // to another caller: the next hit test may write its list over it.
    bool scratchForHitTest = false;
    VMField<VMIntRows> slotClips;                 // per slot x, y, w, h (and one more); w or h 0: no clip
    VMField<VMInts> imageIndices;                 // per slot the image list's cache index, -1 when none
    VMField<VMArray<ts::AnimPlayer, 1>> players;  // per animation slot its player
    jint backgroundColor1 = 0;
    jint rectLayer = 0;  // slot before which the rectangles paint; -1 not placed
    jint slotCount = 0;  // slots in use; the next append loads this one
    jint capacity = 0;   // slots the tables hold
    jboolean backgroundVisible = false;
    VMField<VMInts> sequenceCursors;                // per slot the current step; -1 stopped
    VMField<VMIntRows> sequenceIndices;             // per slot the indices; null row: none
    VMField<VMInts> slotIndices;                    // per slot the image, frame or animation shown
    VMField<VMInts> origin;                         // subtracted from every drawing position
    VMField<VMInts> animSetIndices;                 // per slot the animation set's cache index, -1 when none
    VMField<VMInts> transforms;                     // per image or frame slot
    VMField<VMIntRows> sequenceDurations;           // per slot the time left of each step
    VMField<VMArray<ts::Paintable, 1>> paintables;  // null: empty slot
    jint backgroundColor2 = 0;
    VMField<VMIntRows> slotOffsets;  // per image or frame slot x, y
    VMField<VMInts> rectColors;
    VMField<VMIntRows> rects;  // x, y, w, h; null row: free entry

    VMPtr<Screen> construct();

    // MyObject.
    // Empties every slot and gives back the cache references of the bound
    // ones.
    void release() override;
    // One frame: sequences, and animations played one after the other.
    void update(jint a, jint b) override;
    void paint(VMPtr<Graphics> g) override;
    void reset() override { clearSlots(); }

    // Empties every slot without giving its cache references back.
    virtual void clearSlots();
    virtual void stopSequence(jint slot);
    virtual void stopAllSequences();
    // The first box of that id (image slots: their one box), placed.
    virtual VMPtr<VMInts> getCollisionRect(jint slot, jint boxId);
    // Transform XOR 2.
    virtual void mirrorSlot(jint slot);
    virtual jint getSlotIndex(jint slot);
    virtual void setBackgroundColors(jint first, jint second);
    virtual void setBackgroundColor(jint color);
    // Taken only when 0 <= count <= capacity.
    virtual void setSlotCount(jint count);
    virtual jint getAnimationFrame(jint slot);
    virtual jint getSlotY(jint slot);
    // Probes the four corners of rect (turned first when the slot's
    // transform swaps axes) with collides.
    virtual jboolean cornerTouches(jint slot, jint boxId, VMPtr<VMInts> rect);
    virtual jint getOriginY();
    virtual void loadAnimation(jint slot, jint imageId, jint animSetId, jint animation, jint x, jint y);
    virtual jint getTransform(jint slot);
    virtual jint getSlotCapacity();
    virtual void setSlotPosition(jint slot, jint x, jint y);
    virtual void rotateSlot(jint slot, jboolean clockwise);
    virtual void rotateSlot(jint slot, jboolean clockwise, jint quarterTurns);
    // Gives the slot's cache references back and empties it.
    virtual void releaseSlot(jint slot);
    virtual void addAnimation(jint imageId, jint animSetId, jint animation, jint x, jint y);
    // Transform XOR 1.
    virtual void flipSlot(jint slot);
    virtual void setAnimationFrame(jint slot, jint frame);
    virtual VMPtr<VMInts> getCollisionRect3(jint slot);
    virtual jint getOriginX();
    virtual jint getAnimSetIndex(jint slot);
    virtual void setBackgroundVisible(jboolean visible);
    virtual jint getSlotCount();
    virtual void removeRect(jint index);
    virtual jint getImageIndex(jint slot);
    virtual jint getCollisionBoxCount(jint slot);
    virtual void addFrame(jint imageId, jint animSetId, jint frame, jint x, jint y);
    // Shows another image, frame or animation of the same resources; the
    // index already shown changes nothing (an animation is not restarted).
    virtual void setSlotIndex(jint slot, jint index);
    // The box id of the first box of a frame or animation slot that the
    // rectangle overlaps, -1 when none.
    virtual jint getBoxIdAt(jint slot, VMPtr<VMInts> rect);
    // The same with a box, which is turned in place when the slot's
    // transform swaps axes.
    virtual jint getBoxIdAt(jint slot, VMPtr<CollisionBox> box);
    virtual VMPtr<VMInts> getCollisionRect2(jint slot);
    virtual void resetOrigin();
    virtual void loadFrame(jint slot, jint imageId, jint animSetId, jint frame, jint x, jint y);
    // The slot's box of that id against the area: whether they meet, or
    // whether the point (x, y) lies inside the box when the area has no
    // width or height.
    virtual jboolean collides(jint slot, jint boxId, VMPtr<VMInts> area);
    virtual jboolean collides(jint slot, jint boxId, VMPtr<CollisionBox> box);
    virtual jint getSlotKind(jint slot);
    // A copy of rect in entry index; the first rectangle set places them
    // before the slots added after it.
    virtual void setRect(jint index, VMPtr<VMInts> rect, jint color);
    virtual void setOrigin(jint x, jint y);
    virtual void setSlotClip(jint slot, VMPtr<VMInts> clip);
    virtual void setSequence(jint slot, jint index, jint duration);
    // Shows indices[k] for durations[k] milliseconds each, once.
    virtual void setSequence(jint slot, VMPtr<VMInts> indices, VMPtr<VMInts> durations);
    virtual VMPtr<CollisionBox> getCollisionBox(jint slot, jint boxId);
    virtual jint getCollisionRects(jint slot, VMPtr<VMInts> out);
    // The boxes numbered number of the slot's current frame, under its
    // transform, as records of x, y, w, h, number in out (as many as it
    // holds), moved by the slot's position; answers how many were written.
    virtual jint getCollisionRects(jint slot, VMPtr<VMInts> out, jint number);
    virtual jint getCollisionBoxes(jint slot, VMPtr<Boxes> out);
    virtual VMPtr<VMInts> getCollisionRect4(jint slot);
    virtual jint getSlotX(jint slot);
    // Makes every per-slot table anew for that many slots.
    virtual void setSlotCapacity(jint newCapacity);
    virtual jint getSlotWidth(jint slot);
    virtual void setRectCapacity(jint newCapacity);
    virtual jint getSlotHeight(jint slot);
    // Every box of the slot as records of x, y, w, h, box id; kept in
    // scratch.
    virtual VMPtr<VMInts> getAllCollisionRects(jint slot);
    virtual void playAnimation(jint slot, jint animation);
    virtual jint getAnimationDuration(jint slot);
    virtual void loadResource(jint slot, jint imageId);
    virtual void addResource(jint imageId);
    virtual VMPtr<VMInts> getCollisionRect1(jint slot);

    void paintRects(VMPtr<Graphics> g);
    // getCollisionRect's answer written into r (five entries, cleared first)
    // instead of a new array.
    void placeCollisionRect(jint slot, jint boxId, VMInts* r);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(scratch, bits);
        _VM_markRef(slotClips, bits);
        _VM_markRef(imageIndices, bits);
        _VM_markRef(players, bits);
        _VM_markRef(sequenceCursors, bits);
        _VM_markRef(sequenceIndices, bits);
        _VM_markRef(slotIndices, bits);
        _VM_markRef(origin, bits);
        _VM_markRef(animSetIndices, bits);
        _VM_markRef(transforms, bits);
        _VM_markRef(sequenceDurations, bits);
        _VM_markRef(paintables, bits);
        _VM_markRef(slotOffsets, bits);
        _VM_markRef(rectColors, bits);
        _VM_markRef(rects, bits);
    }

private:
    // The slot's paintable, or null for an empty slot or one beyond the
    // table.
    ts::Paintable* slotAt(jint slot);
    jint typeOf(jint slot);
    // The slot's player (animation slots only).
    ts::AnimPlayer* playerOf(jint slot);
    VMPtr<ts::Gob> firstImage(jint slot);
    VMPtr<ts::AnimSet> animSetOf(jint slot);
    jint offsetX(jint slot);
    jint offsetY(jint slot);
    // Records the cache indices of the last load and makes the slot's
    // paintable; when that fails the references are given back.
    void bind(jint slot, jint kind, jint index, jint x, jint y);
    VMPtr<VMInts> fixedIdRect(jint slot, jint boxId);
    // Turns x, y, w, h a quarter about its centre when the slot's transform
    // swaps axes.
    bool quarterTurn(jint slot, jint& x, jint& y, jint& w, jint& h);
    // getCollisionBox's answer written into box (as a new box holds it
    // first); one is a one-element list for the animation forms' boxes.
    void placeCollisionBox(jint slot, jint boxId, ts::graphics::CollisionBox* box, Boxes* one);
    // The hit test behind both forms of collides: the slot's box against
    // the rectangle x, y, w, h, or against the point x, y when w or h is 0.
    bool collidesWith(jint slot, jint boxId, jint x, jint y, jint w, jint h);
    // Empties every slot; giveBack also gives the bound slots' cache
    // references back.
    void emptySlots(bool giveBack);
};

}  // namespace com::ventrix::ui
