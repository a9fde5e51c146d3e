// ts.graphics.Rect: a collision box made as a rectangle; it changes no operation of its base.
#include "ts_graphics_Rect.h"

namespace ts::graphics {

VMPtr<Rect> Rect::construct() {
    Super::construct(RECTANGLE);
    return this;
}

}  // namespace ts::graphics

VM_REGISTER_CLASS(ts::graphics::Rect, .name = "ts.graphics.Rect", .newInstance = _VM_newInstanceOf<ts::graphics::Rect>)
