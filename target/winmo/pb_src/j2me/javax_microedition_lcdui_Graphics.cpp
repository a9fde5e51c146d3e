// javax.microedition.lcdui.Graphics: the MIDP drawing context.
#include "javax_microedition_lcdui_Graphics.h"

#include <bit>

#include "hal_font.h"
#include "hal_graphics.h"
#include "hal_screen.h"
#include "hal_system.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_IllegalStateException.h"
#include "java_lang_Throwable.h"

namespace javax::microedition::lcdui {

using java::lang::String;

namespace {

[[noreturn]] void illegalArgument() { _VM_throw(java::lang::IllegalArgumentException::create()->construct()); }

// The six checks of an (offset, length) range against a length of n.
bool rangeOutside(jint n, jint offset, jint length) {
    return offset < 0 || offset > n || length < 0 || length > n || offset + length < 0 || offset + length > n;
}

// translate + value, or the surface size or 0 when the sum overflowed or
// fell below 0 (where setClip and clipRect start their rectangle).
jint clampedStart(jint translate, jint value, jint size) {
    jint sum = translate + value;
    if (sum >= 0) return sum;
    return value >= 0 && translate >= 0 ? size : 0;
}

// translate + value + extent, limited as setClip and clipRect end their
// rectangle.
jint clampedEnd(jint translate, jint value, jint extent, jint start, jint size) {
    jint sum = translate + value + extent;
    if (sum < 0) return value < 0 || translate < 0 ? start : size;
    return sum;
}

}  // namespace

Graphics::~Graphics() { releaseNative(); }

// --- binding -------------------------------------------------------------------------

VMPtr<Graphics> Graphics::forScreenBuffer(HAL_ScreenBuffer* screenBuffer) {
    _VM_ensureInitialized(_VM_classRecord);
    HAL_Graphics* context = nullptr;
    if (HAL_createGraphicsWithScreenBuffer(&context, screenBuffer) != HAL_OK) {
        HAL_fatalError("HAL_createGraphicsWithScreenBuffer() failed.");
    }
    int32_t w = 0, h = 0;
    if (HAL_getScreenBufferSize(screenBuffer, &w, &h) != HAL_OK) {
        HAL_deleteGraphics(context);
        HAL_fatalError("HAL_getScreenBufferSize() failed.");
    }
    return forContext(context, w, h);
}

VMPtr<Graphics> Graphics::forContext(HAL_Graphics* context, jint width, jint height) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<Graphics> g;
    try {
        g = Graphics::create();
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        HAL_deleteGraphics(context);
        _VM_throw(keep);
    }
    g->Super::construct();
    g->initWithContext(context, width, height);
    return g;
}

VMPtr<Graphics> Graphics::forImage(VMPtr<Image> image) {
    _VM_ensureInitialized(_VM_classRecord);
    if (image == nullptr) _VM_throwNullPointer();
    VMPtr<Graphics> g = Graphics::create();
    g->Super::construct();
    g->initWithImage(image);
    return g;
}

void Graphics::initWithContext(HAL_Graphics* context, jint width, jint height) {
    nativeContext = context;
    setDimensions(width, height);
    resetState(false);
}

void Graphics::initWithImage(VMPtr<Image> image) {
    targetImage = image;
    HAL_Graphics* context = nullptr;
    if (HAL_createGraphicsWithImage(&context, image->nativeImage) != HAL_OK) {
        HAL_fatalError("HAL_createGraphicsWithImage() failed.");
    }
    nativeContext = context;
    setDimensions(image->getWidth(), image->getHeight());
    resetState(false);
}

void Graphics::setDimensions(jint width, jint height) {
    surfaceWidth = jshort(width & 0x7FFF);
    surfaceHeight = jshort(height & 0x7FFF);
    translateX = 0;
    translateY = 0;
    setClip(0, 0, surfaceWidth, surfaceHeight);
}

void Graphics::resetState(bool push) {
    font = Font::getDefaultFont();
    color = 0;
    alpha = 255;
    grayLevel = 0;
    grayValid = true;
    strokeStyle = SOLID;
    blendingMode = 0;
    if (push) {
        HAL_setFont(nativeContext, font->nativeFont);
        HAL_setStrokeStyle(nativeContext, SOLID);
        HAL_setColor(nativeContext, 0xFF000000u);
        HAL_setBlendingMode(nativeContext, 0);
    }
}

void Graphics::drawScreenBuffer(HAL_ScreenBuffer* screenBuffer) {
    HAL_drawScreenBuffer(nativeContext, screenBuffer, translateX, translateY);
}

void Graphics::releaseNative() {
    if (nativeContext == nullptr) return;
    HAL_deleteGraphics(nativeContext);
    nativeContext = nullptr;
}

// --- state ---------------------------------------------------------------------------

void Graphics::translate(jint x, jint y) {
    translateX += x;
    translateY += y;
}

jint Graphics::getTranslateX() { return translateX; }
jint Graphics::getTranslateY() { return translateY; }
jint Graphics::getColor() { return color; }
jint Graphics::getRedComponent() { return (color >> 16) & 255; }
jint Graphics::getGreenComponent() { return (color >> 8) & 255; }
jint Graphics::getBlueComponent() { return color & 255; }

jint Graphics::getGrayScale() {
    if (!grayValid) {
        grayLevel = (getGreenComponent() * 150 + getRedComponent() * 76 + getBlueComponent() * 29) >> 8;
        grayValid = true;
    }
    return grayLevel;
}

void Graphics::pushColor() { HAL_setColor(nativeContext, uint32_t(color) | uint32_t(alpha) << 24); }

void Graphics::setColor(jint rgb) {
    rgb &= 0xFFFFFF;
    if (rgb == color) return;
    color = rgb;
    grayValid = false;
    pushColor();
}

void Graphics::setColor(jint red, jint green, jint blue) {
    if (uint32_t(red) >= 256 || uint32_t(green) >= 256 || uint32_t(blue) >= 256) illegalArgument();
    color = red << 16 | green << 8 | blue;
    grayValid = false;
    pushColor();
}

void Graphics::setGrayScale(jint value) {
    if (uint32_t(value) > 255) illegalArgument();
    if (grayValid && grayLevel == value) return;
    color = value * 0x010101;
    grayLevel = value;
    grayValid = true;
    pushColor();
}

VMPtr<Font> Graphics::getFont() { return font; }

void Graphics::setFont(VMPtr<Font> f) {
    if (f == nullptr) f = Font::getDefaultFont();
    font = f;
    HAL_setFont(nativeContext, f->nativeFont);
}

jint Graphics::getStrokeStyle() { return strokeStyle; }

void Graphics::setStrokeStyle(jint style) {
    if (style != SOLID && style != DOTTED) illegalArgument();
    strokeStyle = style;
    HAL_setStrokeStyle(nativeContext, style);
}

jint Graphics::getClipX() { return clipX1 - translateX; }
jint Graphics::getClipY() { return clipY1 - translateY; }
jint Graphics::getClipWidth() { return clipX2 - clipX1; }
jint Graphics::getClipHeight() { return clipY2 - clipY1; }

void Graphics::emptyClip() {
    clipX1 = clipY1 = clipX2 = clipY2 = 0;
    HAL_setClip(nativeContext, 0, 0, 0, 0);
}

void Graphics::setClip(jint x, jint y, jint width, jint height) {
    if (width <= 0 || height <= 0) {
        emptyClip();
        return;
    }
    jint w = surfaceWidth, h = surfaceHeight;
    jint ax = clampedStart(translateX, x, w), ay = clampedStart(translateY, y, h);
    if (ax >= w || ay >= h) {
        emptyClip();
        return;
    }
    jint bx = clampedEnd(translateX, x, width, ax, w), by = clampedEnd(translateY, y, height, ay, h);
    if (bx > w) bx = w;
    if (by > h) by = h;
    clipX1 = jshort(ax & 0x7FFF);
    clipY1 = jshort(ay & 0x7FFF);
    clipX2 = jshort(bx & 0x7FFF);
    clipY2 = jshort(by & 0x7FFF);
    HAL_setClip(nativeContext, clipX1, clipY1, clipX2 - clipX1, clipY2 - clipY1);
}

void Graphics::clipRect(jint x, jint y, jint width, jint height) {
    if (width <= 0 || height <= 0) {
        emptyClip();
        return;
    }
    jint w = surfaceWidth, h = surfaceHeight;
    jint ax = clampedStart(translateX, x, w), ay = clampedStart(translateY, y, h);
    if (clipX2 < ax || clipY2 < ay) {
        emptyClip();
        return;
    }
    if (ax > clipX1) clipX1 = jshort(ax & 0x7FFF);
    if (ay > clipY1) clipY1 = jshort(ay & 0x7FFF);
    jint bx = clampedEnd(translateX, x, width, ax, w), by = clampedEnd(translateY, y, height, ay, h);
    if (bx < clipX1 || by < clipY1) {
        emptyClip();
        return;
    }
    if (bx <= clipX2) clipX2 = jshort(bx);
    if (by <= clipY2) clipY2 = jshort(by);
    if (clipX2 < clipX1) clipX2 = clipX1;
    if (clipY2 < clipY1) clipY2 = clipY1;
    HAL_clipRect(nativeContext, ax, ay, bx - ax, by - ay);
}

// --- shapes --------------------------------------------------------------------------

void Graphics::drawLine(jint x1, jint y1, jint x2, jint y2) {
    HAL_drawLine(nativeContext, x1 + translateX, y1 + translateY, x2 + translateX, y2 + translateY);
}

void Graphics::fillRect(jint x, jint y, jint width, jint height) {
    HAL_fillRect(nativeContext, x + translateX, y + translateY, width, height);
}

void Graphics::drawRect(jint x, jint y, jint width, jint height) {
    HAL_drawRect(nativeContext, x + translateX, y + translateY, width, height);
}

namespace {
void clampArcs(jint width, jint height, jint& arcWidth, jint& arcHeight) {
    if (arcWidth < 0) {
        arcWidth = 0;
    } else if (arcWidth > (width >> 1)) {
        arcWidth = width >> 1;
    }
    if (arcHeight < 0) {
        arcHeight = 0;
    } else if (arcHeight > (height >> 1)) {
        arcHeight = height >> 1;
    }
}
}  // namespace

void Graphics::drawRoundRect(jint x, jint y, jint width, jint height, jint arcWidth, jint arcHeight) {
    clampArcs(width, height, arcWidth, arcHeight);
    if (arcWidth != 0 && arcHeight != 0) {
        HAL_drawRoundRect(nativeContext, x + translateX, y + translateY, width, height, arcWidth, arcHeight);
    } else {
        HAL_drawRect(nativeContext, x + translateX, y + translateY, width, height);
    }
}

void Graphics::fillRoundRect(jint x, jint y, jint width, jint height, jint arcWidth, jint arcHeight) {
    clampArcs(width, height, arcWidth, arcHeight);
    if (arcWidth != 0 && arcHeight != 0) {
        HAL_fillRoundRect(nativeContext, x + translateX, y + translateY, width, height, arcWidth, arcHeight);
    } else {
        HAL_fillRect(nativeContext, x + translateX, y + translateY, width, height);
    }
}

void Graphics::fillArc(jint x, jint y, jint width, jint height, jint startAngle, jint arcAngle) {
    HAL_fillArc(nativeContext, x + translateX, y + translateY, width, height, startAngle, arcAngle);
}

void Graphics::drawArc(jint x, jint y, jint width, jint height, jint startAngle, jint arcAngle) {
    HAL_drawArc(nativeContext, x + translateX, y + translateY, width, height, startAngle, arcAngle);
}

void Graphics::fillTriangle(jint x1, jint y1, jint x2, jint y2, jint x3, jint y3) {
    HAL_fillTriangle(nativeContext, x1 + translateX, y1 + translateY, x2 + translateX, y2 + translateY, x3 + translateX,
                     y3 + translateY);
}

void Graphics::fillGradientRect(jint x, jint y, jint width, jint height, jint colorA, jint colorB,
                                jboolean horizontal) {
    HAL_fillGradientRect(nativeContext, x + translateX, y + translateY, width, height, colorA, colorB,
                         horizontal ? 1 : 0);
}

// --- anchors and text ------------------------------------------------------------------

bool Graphics::isValidAnchor(jint anchor, jint illegalBits) {
    if (anchor == 0 || anchor == (TOP | LEFT)) return true;
    if (anchor < 1 || anchor > 127 || (anchor & illegalBits) != 0) return false;
    return std::popcount(uint32_t(anchor & 114)) == 1 && std::popcount(uint32_t(anchor & 13)) == 1;
}

bool Graphics::applyAnchor(jint& x, jint& y, jint width, jint height, jint anchor, jint transform) {
    jint dw = (transform & 4) ? height : width;
    jint dh = (transform & 4) ? width : height;
    if (anchor == 0 || anchor == (TOP | LEFT)) return true;
    switch (anchor & 13) {
        case HCENTER: x -= dw >> 1; break;
        case LEFT: break;
        case RIGHT: x -= dw; break;
        default: return false;
    }
    switch (anchor & 50) {
        case VCENTER: y -= dh >> 1; break;
        case TOP: break;
        case BOTTOM: y -= dh; break;
        default: return false;
    }
    return true;
}

void Graphics::drawText(const jchar* chars, jint length, jint x, jint y, jint anchor) {
    jint px = x + translateX, py = y + translateY;
    if ((anchor & LEFT) == 0) {
        jint w = HAL_getCharsWidth(font->nativeFont, chars, length);
        if (anchor & RIGHT) {
            px -= w;
        } else if (anchor & HCENTER) {
            px -= w / 2;
        }
    }
    if ((anchor & TOP) == 0) {
        if (anchor & BASELINE) {
            py -= font->getBaselinePosition();
        } else if (anchor & BOTTOM) {
            py -= font->getHeight();
        }
    }
    HAL_drawString(nativeContext, chars, length, px, py);
}

void Graphics::drawString(VMPtr<String> str, jint x, jint y, jint anchor) {
    if (str == nullptr) _VM_throwNullPointer();
    if (anchor == 0) {
        anchor = TOP | LEFT;
    } else if (!isValidAnchor(anchor, VCENTER)) {
        illegalArgument();
    }
    drawText(str->_VM_chars(), str->length(), x, y, anchor);
}

void Graphics::drawSubstring(VMPtr<String> str, jint offset, jint len, jint x, jint y, jint anchor) {
    if (str == nullptr) _VM_throwNullPointer();
    if (rangeOutside(str->length(), offset, len)) {
        _VM_throwStringIndexOutOfBoundsException(offset < 0 || offset > str->length() ? offset : offset + len);
    }
    drawText(str->_VM_chars() + offset, len, x, y, anchor);
}

void Graphics::drawChar(jchar character, jint x, jint y, jint anchor) { drawText(&character, 1, x, y, anchor); }

void Graphics::drawChars(VMPtr<VMArray<jchar, 1>> data, jint offset, jint length, jint x, jint y, jint anchor) {
    if (data == nullptr) _VM_throwNullPointer();
    if (rangeOutside(data->length, offset, length)) {
        _VM_throwArrayIndexOutOfBoundsException(offset < 0 || offset > data->length ? offset : offset + length);
    }
    drawText(data->elements() + offset, length, x, y, anchor);
}

// --- images --------------------------------------------------------------------------------

void Graphics::drawImage(VMPtr<Image> img, jint x, jint y, jint anchor) {
    if (img == nullptr) _VM_throwNullPointer();
    if (!isValidAnchor(anchor, BASELINE)) illegalArgument();
    if (!applyAnchor(x, y, img->getWidth(), img->getHeight(), anchor, 0)) illegalArgument();
    HAL_drawImage(nativeContext, img->nativeImage, x + translateX, y + translateY);
}

void Graphics::drawRegion(VMPtr<Image> src, jint xSrc, jint ySrc, jint width, jint height, jint transform, jint xDest,
                          jint yDest, jint anchor) {
    if (src == nullptr) _VM_throwNullPointer();
    if ((transform & ~0x307) != 0) illegalArgument();
    if (!isValidAnchor(anchor, BASELINE)) illegalArgument();
    if (!applyAnchor(xDest, yDest, width, height, anchor, transform)) illegalArgument();
    if (src == targetImage) illegalArgument();
    if (height < 0 || width < 0 || xSrc < 0 || ySrc < 0 || int64_t(xSrc) + width > src->getWidth() ||
        int64_t(ySrc) + height > src->getHeight()) {
        illegalArgument();
    }
    if (src->isMutable()) {
        HAL_drawMutableRegion(nativeContext, src->nativeImage, xSrc, ySrc, width, height, transform, xDest + translateX,
                              yDest + translateY);
    } else {
        HAL_drawRegion(nativeContext, src->nativeImage, xSrc, ySrc, width, height, transform, xDest + translateX,
                       yDest + translateY);
    }
}

void Graphics::copyArea(jint xSrc, jint ySrc, jint width, jint height, jint xDest, jint yDest, jint anchor) {
    if (targetImage == nullptr) _VM_throw(java::lang::IllegalStateException::create()->construct());
    xSrc += translateX;
    ySrc += translateY;
    if (width < 0 || height < 0 || xSrc < 0 || ySrc < 0 || int64_t(xSrc) + width > surfaceWidth ||
        int64_t(ySrc) + height > surfaceHeight) {
        illegalArgument();
    }
    if (!isValidAnchor(anchor, BASELINE)) illegalArgument();
    if (!applyAnchor(xDest, yDest, width, height, anchor, 0)) illegalArgument();
    if (HAL_copyArea(nativeContext, xSrc, ySrc, width, height, xDest + translateX, yDest + translateY) != HAL_OK) {
        illegalArgument();
    }
}

void Graphics::drawRGB(VMPtr<VMArray<jint, 1>> rgbData, jint offset, jint scanlength, jint x, jint y, jint width,
                       jint height, jboolean processAlpha) {
    if (rgbData == nullptr) _VM_throwNullPointer();
    // The first and the last element read, in 64 bits so that no product or
    // sum can wrap into the array.
    int64_t length = rgbData->length;
    int64_t a = height != 0 ? (int64_t(height) - 1) * scanlength : 0;
    int64_t b = width != 0 ? int64_t(width) - 1 : 0;
    int64_t last = offset + b + (scanlength >= 0 ? a : 0);
    int64_t first = offset + (scanlength < 0 ? a : 0);
    if (last < 0 || last >= length || first < 0 || first >= length) _VM_throwArrayIndexOutOfBoundsException(offset);
    if (width == 0 || height == 0) return;
    HAL_drawRGB(nativeContext, rgbData->elements(), rgbData->length, offset, scanlength, x + translateX, y + translateY,
                width, height, processAlpha ? 1 : 0);
}

jint Graphics::getDisplayColor(jint c) { return HAL_getDisplayColor(nativeContext, c); }

// --- alpha and blending -----------------------------------------------------------------------

jint Graphics::getAlphaColor() { return color | alpha << 24; }

void Graphics::setAlphaColor(jint a, jint red, jint green, jint blue) {
    if (uint32_t(a) >= 256 || uint32_t(red) >= 256 || uint32_t(green) >= 256 || uint32_t(blue) >= 256) {
        illegalArgument();
    }
    jint rgb = red << 16 | green << 8 | blue;
    bool changed = false;
    if (rgb != color) {
        color = rgb;
        grayValid = false;
        changed = true;
    }
    if (a != alpha) {
        alpha = a;
        changed = true;
    }
    if (changed) pushColor();
}

void Graphics::setAlphaColor(jint argb) {
    setAlphaColor(jint(uint32_t(argb) >> 24), (argb >> 16) & 255, (argb >> 8) & 255, argb & 255);
}

jint Graphics::getAlpha() { return alpha; }

void Graphics::setAlpha(jint a) {
    if (uint32_t(a) > 255) illegalArgument();
    if (a == alpha) return;
    alpha = a;
    pushColor();
}

jint Graphics::getBlendingMode() { return blendingMode; }

void Graphics::setBlendingMode(jint mode) {
    if (mode == 1) {
        if (targetImage == nullptr || !targetImage->hasAlpha()) illegalArgument();
    } else if (mode != 0) {
        illegalArgument();
    }
    blendingMode = mode;
    HAL_setBlendingMode(nativeContext, mode);
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Graphics, .name = "javax.microedition.lcdui.Graphics")
