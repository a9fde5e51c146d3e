// com.ventrix.utility.MyPointer: the game's touch input. Once a frame (the
// scene manager's update) it takes at most 20 events of the framework's
// pointer queue into per-pointer fields that scenes and panels read: down,
// up, pressed and released in this frame, and the press, previous and latest
// positions. On top of them it keeps a drag-scroll pair that each finished
// touch moves (within bounds), list rows (touch boxes inside an enclosing
// area) and touch key regions that the framework's key manager turns into
// presses of the keys 1 (up), 6 (down), 2 (left) and 5 (right).
//
// Only pointer 0 exists: events of another pointer are ignored.
#pragma once

#include "VM.h"
#include "ts_graphics_CollisionBox.h"
#include "ts_input_PointerInputKeyRegion.h"

namespace com::ventrix::utility {

class MyPointer : public virtual java::lang::Object {
    VM_DECLARE_CLASS(MyPointer, java::lang::Object)

public:
    using Ints = VMArray<jint, 1>;
    using Flags = VMArray<jboolean, 1>;
    using Regions = VMArray<ts::input::PointerInputKeyRegion, 1>;
    using Boxes = VMArray<ts::graphics::CollisionBox, 1>;

    static constexpr jint EVENTS_PER_FRAME = 20;
    // Framework key actions of the four key regions.
    static constexpr jint KEY_UP = 1;
    static constexpr jint KEY_DOWN = 6;
    static constexpr jint KEY_LEFT = 2;
    static constexpr jint KEY_RIGHT = 5;

    VMField<Flags> isDown;        // on the screen
    VMField<Flags> isUp;          // released and not pressed since
    VMField<Flags> justReleased;  // a release taken by this frame's poll
    VMField<Flags> justPressed;   // a press taken by this frame's poll, no drag after it
    VMField<Ints> x;              // latest position
    jint scrollMinY = 0;
    VMField<Ints> prevX;          // position before the latest drag or release
    VMField<Ints> prevY;
    VMField<Ints> y;
    VMField<Regions> keyRegions;  // up, down, left, right while one is being registered
    jint scrollY = 0;
    jint scrollMaxY = 0;
    jint scrollX = 0;
    jint scrollMaxX = 0;
    jint scrollMinX = 0;
    VMField<Boxes> touchBoxes;                     // the list rows
    VMField<ts::graphics::CollisionBox> touchArea; // the area around them
    VMField<Ints> pressX;                          // where the touch began
    VMField<Ints> pressY;

    static VMStatic<MyPointer> instance;

    static void _VM_clinit();
    VMPtr<MyPointer> construct();
    // The singleton, made on first use.
    static VMPtr<MyPointer> getInstance();

    // The per-frame poll.
    virtual void update();
    // Unregisters every key region, then starts the pointer state afresh.
    virtual void reset();
    // Enables the event queue; fresh pointer state; drag values and bounds 0.
    // The list rows and key regions stay.
    virtual void initState();
    // The key manager drops every region of every key.
    virtual void releaseRegions();

    // A touch key region of (box[0], box[1], box[2], box[3]) for the key;
    // nothing for a box without width or height.
    virtual void addUpKeyRegion(VMPtr<Ints> box);
    virtual void addDownKeyRegion(VMPtr<Ints> box);
    virtual void addLeftKeyRegion(VMPtr<Ints> box);
    virtual void addRightKeyRegion(VMPtr<Ints> box);
    // Every region of the key goes, wherever it lies; nothing for a box
    // without width or height.
    virtual void removeUpKeyRegion(VMPtr<Ints> box);
    virtual void removeDownKeyRegion(VMPtr<Ints> box);
    virtual void removeLeftKeyRegion(VMPtr<Ints> box);
    virtual void removeRightKeyRegion(VMPtr<Ints> box);

    // One touch box per row of rows (x, y, width, height), inside the area
    // (x, y, width, height); count is not read.
    virtual void setListRows(jint count, VMPtr<VMArray<jint, 2>> rows, VMPtr<Ints> area);
    // The row under the pointer while it is down, else -1.
    virtual jint getTouchedRow(jint pointerId);
    // The row on which the pointer was released in this frame, else -1.
    virtual jint getReleasedRow(jint pointerId);
    // The row under the pointer (inside the area), else -1.
    virtual jint getRowAt(jint pointerId);

    // Bounds of the drag-scroll values: maxX, maxY, minX, minY.
    virtual void setDragBounds(jint maxX, jint maxY, jint minX, jint minY);
    // Horizontal drag value and positions := 0.
    virtual void resetDragA();
    // Vertical drag value and positions := 0.
    virtual void resetDragB();
    // The vertical drag value.
    virtual void setDragBase(jint value);
    // Latest y minus the press's y.
    virtual jint getDragDistance(jint pointerId);

    void markReferences(uint32_t bits) override {
        _VM_markRef(isDown, bits);
        _VM_markRef(isUp, bits);
        _VM_markRef(justReleased, bits);
        _VM_markRef(justPressed, bits);
        _VM_markRef(x, bits);
        _VM_markRef(prevX, bits);
        _VM_markRef(prevY, bits);
        _VM_markRef(y, bits);
        _VM_markRef(keyRegions, bits);
        _VM_markRef(touchBoxes, bits);
        _VM_markRef(touchArea, bits);
        _VM_markRef(pressX, bits);
        _VM_markRef(pressY, bits);
    }

private:
    void addKeyRegion(jint key, jint entry, VMPtr<Ints> box);
    void removeKeyRegions(jint key, VMPtr<Ints> box);
    // The finished touch moves the drag values; the positions return to 0.
    void commitTouch();
};

}  // namespace com::ventrix::utility
