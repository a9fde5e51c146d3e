// ts.graphics.Color: a class without state or operations of its own; made by name through the class registry.
#include "ts_graphics_Color.h"

namespace ts::graphics {

VMPtr<Color> Color::construct() {
    Super::construct();
    return this;
}

}  // namespace ts::graphics

VM_REGISTER_CLASS(ts::graphics::Color, .name = "ts.graphics.Color",
                  .newInstance = _VM_newInstanceOf<ts::graphics::Color>)
