// javax.microedition.lcdui.Image: an immutable or mutable picture over a
// native image of the platform. Immutable images are decoded from resource
// files or bytes, built from ARGB values or cut from other images; mutable
// ones are drawn into through a Graphics.
#pragma once

#include "VM.h"
#include "java_lang_String.h"

struct HAL_Image;  // the platform's (hal_image.h), opaque here

namespace javax::microedition::lcdui {

class Graphics;

class Image : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Image, java::lang::Object)

public:
    jint width = 0;
    jint height = 0;
    jboolean mutable_ = false;
    jboolean hasAlphaFlag = false;  // the cached answer of hasAlpha
    jboolean hasAlphaKnown = false;
    HAL_Image* nativeImage = nullptr;  // one reference, given back by the destructor

    ~Image() override;

    // A mutable image, opaque white. IllegalArgumentException for a negative
    // or zero side; OutOfMemoryError when the platform has no room.
    static VMPtr<Image> createImage(jint width, jint height);
    // An immutable image with the source's pixels as they are now.
    static VMPtr<Image> createImage(VMPtr<Image> source);
    // Decodes the resource of that name (resolved against this class's
    // package); IOException "HAL_createImageWithResource() error: " + status.
    static VMPtr<Image> createImage(VMPtr<java::lang::String> name);
    // Decodes the bytes; IllegalArgumentException
    // "HAL_createImageWithData() error: HAL_BAD_FORMAT_ERR" when they are not
    // an image.
    static VMPtr<Image> createImage(VMPtr<VMArray<jbyte, 1>> imageData, jint imageOffset, jint imageLength);
    // The region under the transform (bits 8 and 9 choose the new image's
    // pixel format); an immutable source's whole area untransformed is the
    // source itself.
    static VMPtr<Image> createImage(VMPtr<Image> image, jint x, jint y, jint width, jint height, jint transform);
    static VMPtr<Image> createRGBImage(VMPtr<VMArray<jint, 1>> rgb, jint width, jint height, jboolean processAlpha);
    // A mutable image filled with the colour: ARGB with an alpha channel,
    // else its RGB part made opaque.
    static VMPtr<Image> createImage(jint width, jint height, jboolean withAlpha, jint fillColor);

    // IllegalStateException for an immutable image; a new Graphics each call.
    virtual VMPtr<Graphics> getGraphics();
    virtual jint getWidth();
    virtual jint getHeight();
    virtual jboolean isMutable();
    virtual void getRGB(VMPtr<VMArray<jint, 1>> rgbData, jint offset, jint scanlength, jint x, jint y, jint width,
                        jint height);
    virtual jboolean hasAlpha();

private:
    static VMPtr<Image> wrap(HAL_Image* native, jboolean isMutable, jint width, jint height);
};

}  // namespace javax::microedition::lcdui
