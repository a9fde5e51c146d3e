// ts.input.PointerInputKeyRegion: a rectangle of the game area bound to one
// framework key action. While a touch is on it, the key manager
// (PointerInputKeyManager) holds its key down.
#pragma once

#include "VM.h"

namespace ts::input {

class PointerInputKeyRegion : public virtual java::lang::Object {
    VM_DECLARE_CLASS(PointerInputKeyRegion, java::lang::Object)

public:
    jint key = 0;  // 1 to 63
    jint x = 0;
    jint y = 0;
    jint width = 0;
    jint height = 0;
    jboolean pressed = false;  // a touch is on it (kept by the key manager)

    // A region bound to `key`; IllegalArgumentException for a key outside 1
    // to 63. A region of no width or height is never touched.
    static VMPtr<PointerInputKeyRegion> create(jint key, jint x, jint y, jint width, jint height);

    jint getKey() { return key; }
    jboolean isPressed() { return pressed; }
    // x <= px < x + width and y <= py < y + height.
    jboolean contains(jint px, jint py);
};

}  // namespace ts::input
