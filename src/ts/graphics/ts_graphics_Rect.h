// ts.graphics.Rect: a collision box made as a rectangle; it changes no
// operation of its base.
#pragma once

#include "ts_graphics_CollisionBox.h"

namespace ts::graphics {

class Rect : public CollisionBox {
    VM_DECLARE_CLASS(Rect, CollisionBox)

public:
    VMPtr<Rect> construct();
};

}  // namespace ts::graphics
