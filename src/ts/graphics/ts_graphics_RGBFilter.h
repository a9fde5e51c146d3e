// ts.graphics.RGBFilter: a per-pixel colour filter that an alpha image part
// applies to its own pixels; applications supply the filter.
#pragma once

#include "VM.h"

namespace ts::graphics {

class RGBFilter : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(RGBFilter, java::lang::Object)

public:
    VMPtr<RGBFilter> construct();

    // The new ARGB value of one pixel.
    virtual jint filterRGB(jint argb) = 0;

    // Every pixel other than transparent magenta (0x00FF00FF), from the last
    // to the first, replaced by the filter's value.
    static void filter(VMPtr<RGBFilter> f, VMPtr<VMArray<jint, 1>> pixels);
};

}  // namespace ts::graphics
