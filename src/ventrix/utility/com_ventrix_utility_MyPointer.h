// com.ventrix.utility.MyPointer: the game's touch input. Once a frame (the
// scene manager's update) it takes at most 20 events of the framework's
// pointer queue into per-pointer fields that scenes and panels read: down,
// up, pressed and released in this frame, and the press, previous and latest
// positions. On top of them it keeps a drag-scroll pair that each finished
// touch moves (within limits), touch boxes inside an enclosing area, and
// touch key regions that the framework's key manager turns into presses of
// the keys 1 (up), 6 (down), 2 (left) and 5 (right).
//
// Only pointer 0 exists: events of another pointer are ignored. A release
// whose press was not taken since the last reset belongs to a touch begun on
// another screen and is ignored as well.
#pragma once

#include "VM.h"
#include "ts_graphics_CollisionBox.h"
#include "ts_input_PointerInputKeyRegion.h"

namespace com::ventrix::utility {

class MyPointer : public virtual java::lang::Object {
    VM_DECLARE_CLASS(MyPointer, java::lang::Object)

public:
    using Regions = VMArray<ts::input::PointerInputKeyRegion, 1>;
    using Boxes = VMArray<ts::graphics::CollisionBox, 1>;

    static constexpr jint EVENTS_PER_FRAME = 20;
    // Framework key actions of the four key regions.
    static constexpr jint KEY_UP = 1;
    static constexpr jint KEY_DOWN = 6;
    static constexpr jint KEY_LEFT = 2;
    static constexpr jint KEY_RIGHT = 5;

    VMField<VMBooleans> isDown;        // on the screen
    VMField<VMBooleans> isUp;          // released and not pressed since
    VMField<VMBooleans> justReleased;  // a release taken by this frame's poll
    VMField<VMBooleans> justPressed;   // a press taken by this frame's poll, no drag after it
    VMField<VMInts> x;                 // latest position
    jint scrollMinY = 0;
    VMField<VMInts> prevX;  // position before the latest drag or release
    VMField<VMInts> prevY;
    VMField<VMInts> y;
    VMField<Regions> keyRegions;  // up, down, left, right while one is being registered
    jint scrollY = 0;
    jint scrollMaxY = 0;
    jint scrollX = 0;
    jint scrollMaxX = 0;
    jint scrollMinX = 0;
    VMField<Boxes> touchBoxes;                      // in index order
    VMField<ts::graphics::CollisionBox> touchArea;  // the area around them
    VMField<VMInts> pressX;                         // where the touch began
    VMField<VMInts> pressY;

    static VMStatic<MyPointer> instance;

    static void _VM_clinit();
    VMPtr<MyPointer> construct();
    // The singleton, made on first use.
    static VMPtr<MyPointer> getInstance();

    // Pointer ids: only 0 exists.
    virtual jint getX(jint id);
    // A touch key region of rect (x, y, width, height) for key 6 (down);
    // nothing for a rectangle without width or height.
    virtual void addDownRegion(VMPtr<VMInts> rect);
    // Latest x minus the press's x.
    virtual jint getDragX(jint id);
    virtual void setScrollX(jint value);
    virtual jint getPrevY(jint id);
    // Limits of the drag-scroll values.
    virtual void setScrollLimits(jint maxX, jint maxY, jint minX, jint minY);
    virtual void setPressX(jint id, jint value);
    // Horizontal scroll value and positions := 0.
    virtual void resetX();
    // The touch box under the pointer while it is down, else -1.
    virtual jint getPressedBox(jint id);
    // The touch box under the pointer (inside the area), else -1. A box
    // holds x <= px < x + width and y <= py < y + height.
    virtual jint getBoxAt(jint id);
    virtual void addRightRegion(VMPtr<VMInts> rect);
    virtual jint getPressX(jint id);
    // Every region of key 6 goes, wherever it lies; nothing for a rectangle
    // without width or height.
    virtual void removeDownRegions(VMPtr<VMInts> rect);
    virtual jint getY(jint id);
    // The per-frame poll.
    virtual void update();
    // One touch box per row of boxes (x, y, width, height), inside the area
    // (x, y, width, height); the first argument is not read.
    virtual void setTouchBoxes(jint ignored, VMPtr<VMArray<jint, 2>> boxes, VMPtr<VMInts> area);
    virtual void addUpRegion(VMPtr<VMInts> rect);
    // Unregisters every key region, then starts the pointer state afresh.
    virtual void reset();
    // Enables the event queue; fresh pointer state; scroll values and limits
    // 0. The touch boxes and key regions stay.
    virtual void initState();
    // Pointer events waiting in the framework's queue.
    virtual jint getQueuedEventCount();
    // Latest y minus the press's y.
    virtual jint getDragY(jint id);
    virtual void setScrollY(jint value);
    virtual void removeUpRegions(VMPtr<VMInts> rect);
    virtual jint getPrevX(jint id);
    virtual void removeLeftRegions(VMPtr<VMInts> rect);
    virtual void setPressY(jint id, jint value);
    virtual void addLeftRegion(VMPtr<VMInts> rect);
    // The touch box on which the pointer was released in this frame, else -1.
    virtual jint getReleasedBox(jint id);
    // The pointer inside rect (x, y, width, height), both ends included.
    virtual jboolean isInRect(VMPtr<VMInts> rect, jint id);
    // Vertical scroll value and positions := 0.
    virtual void resetY();
    virtual void removeRightRegions(VMPtr<VMInts> rect);
    // Commits the touch released in the last frame, then takes at most 20
    // queued events.
    virtual void pollEvents();
    // The key manager drops every region of every key.
    virtual void releaseRegions();
    virtual jint getPressY(jint id);

    // Throws away the events waiting in the framework's queue: touches made
    // on a screen that is gone, or behind the loading page.
    void dropQueuedEvents();

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
    void addKeyRegion(jint key, jint entry, VMPtr<VMInts> box);
    void removeKeyRegions(jint key, VMPtr<VMInts> box);
    // The finished touch moves the drag values; the positions return to 0.
    void commitTouch();
};

}  // namespace com::ventrix::utility
