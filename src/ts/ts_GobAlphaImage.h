// ts.GobAlphaImage: an image part drawn with a constant opacity (0 invisible
// to 255 opaque) that it sets on the Graphics for the time of its drawing. It
// shares its image with the Gob it was made from until a filter gives it
// pixels of its own.
#pragma once

#include "ts_Gob.h"

namespace ts {

class GobAlphaImage : public Gob {
    VM_DECLARE_CLASS(GobAlphaImage, Gob)

public:
    jshort alpha = 0;

    // Runs Gob's body, alpha 255, then takes the source's attributes, image
    // and state.
    VMPtr<GobAlphaImage> construct(VMPtr<Gob> source);

    using Gob::paint;
    void paint(VMPtr<Graphics> g, jint x, jint y, jint transform) override;
    VMPtr<Gob> withAlpha(jint alpha) override;
    VMPtr<Gob> toAlphaImage() override;
    jboolean isAlphaImage() override;
    void setAlpha(jint alpha) override;
    // Filters the pixels (transparent magenta left alone) into an image of
    // its own; alpha kind 1 when no pixel is left translucent.
    void applyFilter(VMPtr<graphics::RGBFilter> filter) override;
    jint getAlpha() override;

    // A new int[width * height] with the image's ARGB pixels.
    virtual VMPtr<VMInts> getPixels();
};

}  // namespace ts
