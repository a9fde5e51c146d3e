// ts.graphics.Color: a class without state or operations of its own; made by
// name through the class registry.
#pragma once

#include "VM.h"

namespace ts::graphics {

class Color : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Color, java::lang::Object)

public:
    VMPtr<Color> construct();
};

}  // namespace ts::graphics
