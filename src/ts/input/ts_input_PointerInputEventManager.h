// ts.input.PointerInputEventManager: the queue of pointer events between the
// canvas's pointer entries (main thread) and the game (canvas thread). The
// queue has 20 slots. When it is full (a long frame), moves give way first:
// a new move replaces a move queued last, else the oldest queued move is
// dropped; presses and releases are kept, and the newest release always.
// Positions are taken relative to the game area (the canvas's screen offset).
//
// Every operation is static and those that touch the queue hold the
// manager's lock.
#pragma once

#include "VM.h"

namespace ts::input {

class PointerInputEventManager : public virtual java::lang::Object {
    VM_DECLARE_CLASS(PointerInputEventManager, java::lang::Object)

public:
    static constexpr jint QUEUE_LENGTH = 20;
    // Event types.
    static constexpr jint PRESSED = 1;
    static constexpr jint DRAGGED = 2;
    static constexpr jint RELEASED = 3;

    static VMStatic<java::lang::Object> lock;
    // Four ints a slot (pointer id, type, x, y); null while disabled.
    static VMStatic<VMArray<jint, 1>> queue;
    static jint first;  // slot of the oldest event
    static jint count;  // events queued
    static jint offsetX;
    static jint offsetY;
    // The event that nextEvent took last.
    static jint currentPointerId;
    static jint currentType;
    static jint currentX;
    static jint currentY;

    static void _VM_clinit();

    // Enabling makes the queue's slots, disabling drops them and what they
    // hold; nothing when the state does not change.
    static void setEnabled(jboolean enabled);
    static jboolean isEnabled();
    static jint getEventCount();
    // Takes the oldest event into the current event; false when the queue is
    // empty or disabled.
    static jboolean nextEvent();
    static jint getPointerId();
    static jint getType();
    static jint getX();
    static jint getY();

    // The canvas's entries: an event at a canvas position (queued only while
    // enabled; see above when full), and the position of the game area.
    static void addEvent(jint type, jint x, jint y);
    static void setScreenOffset(jint x, jint y);

private:
    // Frees a slot of the full queue for an event of `type`; false when the
    // event itself is the one to drop. Called with the lock held.
    static bool makeRoom(jint type);
};

}  // namespace ts::input
