// ts.GobAlphaImage: an image part drawn with a constant opacity.
#include "ts_GobAlphaImage.h"

#include "ts_TsCanvas.h"
#include "ts_graphics_RGBFilter.h"

namespace ts {

VMPtr<GobAlphaImage> GobAlphaImage::construct(VMPtr<Gob> source) {
    Super::construct();
    alpha = 255;
    if (source == nullptr) _VM_throwNullPointer();
    source->copyAttributesTo(this);
    source->copyImageTo(this);
    source->copyStateTo(this);
    return this;
}

void GobAlphaImage::paint(VMPtr<Graphics> g, jint x, jint y, jint transform) {
    if (alpha == 0) return;
    if (width < 1 || height < 1) return;  // a part of no size (a glyph without ink) has no image
    const jint dx = x + getOffsetX(transform), dy = y + getOffsetY(transform);
    if (g == nullptr) _VM_throwNullPointer();
    const jint previous = g->getAlpha();
    const jint region = transform | alphaKind << 8;
    if (previous == alpha) {
        g->drawRegion(image, 0, 0, width, height, region, dx, dy, Graphics::TOP | Graphics::LEFT);
        return;
    }
    g->setAlpha(alpha);
    struct Restore {
        Graphics* g;
        jint alpha;
        ~Restore() { g->setAlpha(alpha); }
    } restore{g.get(), previous};
    g->drawRegion(image, 0, 0, width, height, region, dx, dy, Graphics::TOP | Graphics::LEFT);
}

VMPtr<Gob> GobAlphaImage::withAlpha(jint value) {
    alpha = jshort(value);
    return this;
}

VMPtr<Gob> GobAlphaImage::toAlphaImage() { return this; }

jboolean GobAlphaImage::isAlphaImage() { return true; }

void GobAlphaImage::setAlpha(jint value) { alpha = jshort(value); }

jint GobAlphaImage::getAlpha() { return alpha; }

VMPtr<VMInts> GobAlphaImage::getPixels() {
    VMPtr<VMInts> pixels = VMInts::create(width * height);
    TsCanvas::getRGB(image, pixels, 0, width, 0, 0, width, height);
    return pixels;
}

void GobAlphaImage::applyFilter(VMPtr<graphics::RGBFilter> filter) {
    VMPtr<VMInts> pixels = getPixels();
    graphics::RGBFilter::filter(filter, pixels);
    const jboolean translucent = TsCanvas::hasTranslucentPixel(pixels);
    if (!translucent) alphaKind = 1;
    VMPtr<Gob> filtered = Gob::createFromRGB(pixels, width, height, translucent);
    filtered->copyImageTo(this);
    filtered->copyStateTo(this);
}

}  // namespace ts

VM_REGISTER_CLASS(ts::GobAlphaImage, .name = "ts.GobAlphaImage")
