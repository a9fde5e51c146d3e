// ts.input.PointerInputKeyManager: touch regions that act as keys. A touch
// that lands on a region presses the region's key on the canvas; leaving the
// region or lifting the touch releases it. A key stays down while any of its
// regions is touched.
//
// Every operation is static; those that touch the registry hold the
// manager's lock (and take the canvas's monitor inside it, never the other
// way round).
#pragma once

#include "VM.h"
#include "ts_input_PointerInputKeyRegion.h"

namespace ts::input {

class PointerInputKeyManager : public virtual java::lang::Object {
    VM_DECLARE_CLASS(PointerInputKeyManager, java::lang::Object)

public:
    static constexpr jint KEY_LIMIT = 64;  // keys 1 to 63

    static VMStatic<java::lang::Object> lock;
    // The registered regions, the first regionCount entries; null until the
    // first addRegion.
    static VMStatic<VMArray<PointerInputKeyRegion, 1>> regions;
    static jint regionCount;
    // The touch, in game-area coordinates.
    static jboolean touching;
    static jint touchX;
    static jint touchY;
    static jint offsetX;
    static jint offsetY;
    // The keys this manager holds down on the canvas.
    static jboolean keysDown[KEY_LIMIT];

    static void _VM_clinit();

    // NullPointerException for null; a region already registered is not
    // added again. A region under the touch presses its key at once.
    static void addRegion(VMPtr<PointerInputKeyRegion> region);
    // Unregisters the region (nothing when it is not registered) and
    // releases its key unless another region of the key is touched.
    static void removeRegion(VMPtr<PointerInputKeyRegion> region);
    // Unregisters the regions of `key`, all of them for 0, clearing their
    // touched state; the number removed.
    static jint removeRegions(jint key);
    // The regions of `key`, all for 0.
    static jint getRegionCount(jint key);
    // Copies the regions of `key` (all for 0), in registration order, into
    // out up to its length; the number copied. NullPointerException for a
    // null out.
    static jint getRegions(VMPtr<VMArray<PointerInputKeyRegion, 1>> out, jint key);

    // The canvas's entries: a pointer event (PointerInputEventManager's types)
    // at a canvas position; the position of the game area; the per-frame
    // update from the canvas's input latch.
    static void pointerEvent(jint type, jint x, jint y);
    static void setScreenOffset(jint x, jint y);
    static void update();

private:
    // Marks the regions under the touch and presses or releases the keys
    // whose state changed. Holding the lock.
    static void applyTouch();
};

}  // namespace ts::input
