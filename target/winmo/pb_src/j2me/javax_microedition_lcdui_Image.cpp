// javax.microedition.lcdui.Image: an immutable or mutable picture over a native image of the platform.
#include "javax_microedition_lcdui_Image.h"

#include <cstdio>

#include "hal_image.h"
#include "hal_system.h"
#include "java_io_IOException.h"
#include "java_lang_Class.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_IllegalStateException.h"
#include "java_lang_Throwable.h"
#include "javax_microedition_lcdui_Graphics.h"

namespace javax::microedition::lcdui {

using java::lang::IllegalArgumentException;
using java::lang::String;

namespace {

[[noreturn]] void illegalArgument() { _VM_throw(IllegalArgumentException::create()->construct()); }

// Out of memory is an OutOfMemoryError; any other failure a fatal stop.
void checkStatus(int status, const char* failed) {
    if (status == HAL_OK) return;
    if (status == HAL_OUT_OF_MEMORY) _VM_throwOutOfMemoryError();
    HAL_fatalError(failed);
}

}  // namespace

Image::~Image() {
    if (nativeImage) HAL_deleteImage(nativeImage);
    nativeImage = nullptr;
}

VMPtr<Image> Image::wrap(HAL_Image* native, jboolean isMutable, jint w, jint h) {
    // The native image is given back if allocating the object fails.
    VMPtr<Image> image;
    try {
        image = Image::create();
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        HAL_deleteImage(native);
        _VM_throw(keep);
    }
    image->Super::construct();
    image->nativeImage = native;
    image->mutable_ = isMutable;
    image->width = w;
    image->height = h;
    return image;
}

VMPtr<Image> Image::createImage(jint w, jint h) {
    _VM_ensureInitialized(_VM_classRecord);
    if (w < 0 || h < 0) illegalArgument();
    HAL_Image* native = nullptr;
    int status = HAL_createMutableImage(&native, w, h);
    if (status == HAL_BAD_ARGUMENT) illegalArgument();
    checkStatus(status, "HAL_createMutableImage() failed.");
    return wrap(native, true, w, h);
}

VMPtr<Image> Image::createImage(VMPtr<Image> source) {
    _VM_ensureInitialized(_VM_classRecord);
    if (source == nullptr) _VM_throwNullPointer();
    HAL_Image* native = nullptr;
    if (source->mutable_) {
        checkStatus(HAL_createImageWithMutableImage(&native, source->nativeImage),
                    "HAL_createImageWithMutableImage() failed.");
    } else {
        checkStatus(HAL_createImageWithImmutableImage(&native, source->nativeImage),
                    "HAL_createImageWithImmutableImage() failed.");
    }
    return wrap(native, false, source->width, source->height);
}

VMPtr<Image> Image::createImage(VMPtr<String> name) {
    _VM_ensureInitialized(_VM_classRecord);
    if (name == nullptr) _VM_throwNullPointer();
    VMPtr<String> resolved = _VM_classRecord->_VM_resolveName(name);
    HAL_Image* native = nullptr;
    jint w = 0, h = 0;
    int status = HAL_createImageWithResource(&native, resolved->_VM_chars(), resolved->length(), &w, &h);
    // A name the resource layer refuses (empty, leaving the resource folder,
    // not text) is a resource that cannot be had, like a missing one.
    if (status == HAL_NOT_FOUND || status == HAL_BAD_FORMAT_ERR || status == HAL_IO_ERROR ||
        status == HAL_BAD_ARGUMENT) {
        char text[64];
        std::snprintf(text, sizeof text, "HAL_createImageWithResource() error: %d", status);
        _VM_throw(java::io::IOException::create()->construct(String::_VM_fromUTF8(text)));
    }
    checkStatus(status, "HAL_createImageWithResource() failed.");
    return wrap(native, false, w, h);
}

VMPtr<Image> Image::createImage(VMPtr<VMArray<jbyte, 1>> imageData, jint imageOffset, jint imageLength) {
    _VM_ensureInitialized(_VM_classRecord);
    if (imageData == nullptr) _VM_throwNullPointer();
    jint n = imageData->length;
    if (imageOffset < 0 || imageOffset >= n) _VM_throwArrayIndexOutOfBoundsException(imageOffset);
    if (imageLength < 0 || int64_t(imageOffset) + imageLength > n) {
        _VM_throwArrayIndexOutOfBoundsException(imageOffset + imageLength);
    }
    HAL_Image* native = nullptr;
    jint w = 0, h = 0;
    int status = HAL_createImageWithData(&native, reinterpret_cast<const uint8_t*>(imageData->elements() + imageOffset),
                                         imageLength, &w, &h);
    // No bytes at all decode to nothing, like bytes that are not an image.
    if (status == HAL_BAD_FORMAT_ERR || status == HAL_BAD_ARGUMENT) {
        _VM_throw(IllegalArgumentException::create()->construct(
            VM_STR("HAL_createImageWithData() error: HAL_BAD_FORMAT_ERR")));
    }
    checkStatus(status, "HAL_createImageWithData() failed.");
    return wrap(native, false, w, h);
}

VMPtr<Image> Image::createImage(VMPtr<Image> image, jint x, jint y, jint w, jint h, jint transform) {
    _VM_ensureInitialized(_VM_classRecord);
    if (image == nullptr) _VM_throwNullPointer();
    if (x < 0 || y < 0 || int64_t(x) + w > image->width || int64_t(y) + h > image->height || w <= 0 || h <= 0) {
        illegalArgument();
    }
    if ((transform & ~0x307) != 0) illegalArgument();
    if (!image->mutable_ && x == 0 && y == 0 && w == image->width && h == image->height && transform == 0) {
        return image;
    }
    HAL_Image* native = nullptr;
    if (image->mutable_) {
        checkStatus(HAL_createImageWithMutableRegion(&native, image->nativeImage, x, y, w, h, transform),
                    "HAL_createImageWithMutableRegion() failed.");
    } else {
        checkStatus(HAL_createImageWithImmutableRegion(&native, image->nativeImage, x, y, w, h, transform),
                    "HAL_createImageWithImmutableRegion() failed.");
    }
    bool swap = (transform & 4) != 0;
    return wrap(native, false, swap ? h : w, swap ? w : h);
}

VMPtr<Image> Image::createRGBImage(VMPtr<VMArray<jint, 1>> rgb, jint w, jint h, jboolean processAlpha) {
    _VM_ensureInitialized(_VM_classRecord);
    if (rgb == nullptr) _VM_throwNullPointer();
    if (w < 1 || h < 1) illegalArgument();
    if (int64_t(rgb->length) < int64_t(w) * h) _VM_throwArrayIndexOutOfBoundsException(rgb->length);
    HAL_Image* native = nullptr;
    checkStatus(HAL_createImageWithRGB(&native, rgb->elements(), rgb->length, w, h, processAlpha ? 1 : 0),
                "HAL_createImageWithRGB() failed.");
    return wrap(native, false, w, h);
}

VMPtr<Image> Image::createImage(jint w, jint h, jboolean withAlpha, jint fillColor) {
    _VM_ensureInitialized(_VM_classRecord);
    if (w < 0 || h < 0) illegalArgument();
    HAL_Image* native = nullptr;
    int status = withAlpha ? HAL_createTransparentMutableImage(&native, w, h) : HAL_createMutableImage(&native, w, h);
    if (status == HAL_BAD_ARGUMENT) illegalArgument();
    checkStatus(status, withAlpha ? "HAL_createTransparentMutableImage() failed." : "HAL_createMutableImage() failed.");
    VMPtr<Image> image = wrap(native, true, w, h);
    VMPtr<Graphics> g = image->getGraphics();
    g->setAlphaColor(withAlpha ? fillColor : jint((uint32_t(fillColor) & 0xFFFFFF) | 0xFF000000u));
    g->fillRect(0, 0, w, h);
    g->releaseNative();
    return image;
}

VMPtr<Graphics> Image::getGraphics() {
    if (!mutable_) _VM_throw(java::lang::IllegalStateException::create()->construct());
    return Graphics::forImage(this);
}

jint Image::getWidth() { return width; }
jint Image::getHeight() { return height; }
jboolean Image::isMutable() { return mutable_; }

void Image::getRGB(VMPtr<VMArray<jint, 1>> rgbData, jint offset, jint scanlength, jint x, jint y, jint w, jint h) {
    if (x < 0 || y < 0 || int64_t(x) + w > width || int64_t(y) + h > height) illegalArgument();
    int64_t scan = scanlength;
    if ((scan < 0 ? -scan : scan) < w) illegalArgument();
    if (w <= 0 || h <= 0) return;
    if (rgbData == nullptr) _VM_throwNullPointer();
    // Every row inside the array, whichever way the scanlength runs.
    if (offset < 0 || !hal::blockInside(rgbData->length, offset, scanlength, w, h)) {
        _VM_throwArrayIndexOutOfBoundsException(offset);
    }
    int status =
        mutable_
            ? HAL_getMutableRGB(nativeImage, rgbData->elements(), rgbData->length, offset, scanlength, x, y, w, h)
            : HAL_getImmutableRGB(nativeImage, rgbData->elements(), rgbData->length, offset, scanlength, x, y, w, h);
    if (status != HAL_OK) HAL_fatalError(mutable_ ? "HAL_getMutableRGB() failed." : "HAL_getImmutableRGB() failed.");
}

jboolean Image::hasAlpha() {
    if (hasAlphaKnown) return hasAlphaFlag;
    int32_t flag = 0;
    int status = mutable_ ? HAL_getMutableHasAlpha(nativeImage, &flag) : HAL_getImmutableHasAlpha(nativeImage, &flag);
    if (status != HAL_OK && status != HAL_FAILED) {
        HAL_fatalError(mutable_ ? "HAL_getMutableHasAlpha() failed." : "HAL_getImmutableHasAlpha() failed.");
    }
    hasAlphaFlag = flag != 0;
    hasAlphaKnown = true;
    return hasAlphaFlag;
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Image, .name = "javax.microedition.lcdui.Image")
