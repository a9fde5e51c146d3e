// ts.input.PointerInputKeyRegion: a rectangle of the game area bound to one framework key action.
#include "ts_input_PointerInputKeyRegion.h"

#include "VMThrow.h"

namespace ts::input {

VMPtr<PointerInputKeyRegion> PointerInputKeyRegion::create(jint key, jint x, jint y, jint width, jint height) {
    if (key < 1 || key > 63) _VM_throwIllegalArgumentException();
    VMPtr<PointerInputKeyRegion> region = create();
    region->construct();
    region->key = key;
    region->x = x;
    region->y = y;
    region->width = width;
    region->height = height;
    return region;
}

jboolean PointerInputKeyRegion::contains(jint px, jint py) {
    // In 64 bits: a region near the edge of the int range does not wrap.
    return px >= x && py >= y && jlong(px) < jlong(x) + width && jlong(py) < jlong(y) + height;
}

}  // namespace ts::input

VM_REGISTER_CLASS(ts::input::PointerInputKeyRegion, .name = "ts.input.PointerInputKeyRegion")
