// ts.graphics.RGBFilter: a per-pixel colour filter of an alpha image part.
#include "ts_graphics_RGBFilter.h"

namespace ts::graphics {

VMPtr<RGBFilter> RGBFilter::construct() {
    Super::construct();
    return this;
}

void RGBFilter::filter(VMPtr<RGBFilter> f, VMPtr<VMArray<jint, 1>> pixels) {
    if (pixels == nullptr) _VM_throwNullPointer();
    for (jint i = pixels->length - 1; i >= 0; --i) {
        const jint pixel = (*pixels)[i];
        if (pixel == 0x00FF00FF) continue;
        const jint replaced = f->filterRGB(pixel);
        (*pixels)[i] = replaced;
    }
}

}  // namespace ts::graphics

VM_REGISTER_CLASS(ts::graphics::RGBFilter, .name = "ts.graphics.RGBFilter", .isAbstract = true)
