// Platform layer: native graphics contexts.
#include "hal_graphics.h"

#include <algorithm>
#include <new>

#include "hal_font.h"
#include "hal_image.h"
#include "hal_screen.h"
#include "hal_surface.h"
#include "hal_system.h"

struct HAL_Graphics {
    HAL_Surface* surface = nullptr;
    HAL_Image* image = nullptr;          // the target, when an image (one reference)
    HAL_ScreenBuffer* buffer = nullptr;  // the target, when a screen buffer (one reference)
    hal::Raster raster;                  // surface, clip, colour, alpha, blending mode
    int32_t stroke = 0;
    HAL_Font* font = nullptr;
};

namespace {

HAL_Graphics* newContext(HAL_Surface* surface) {
    auto* context = new (std::nothrow) HAL_Graphics;
    if (context == nullptr) return nullptr;
    context->surface = surface;
    context->raster.surface = surface;
    context->raster.clip = {0, 0, surface->width, surface->height};
    context->raster.paint = hal::Paint{0, 255, 0};
    context->font = hal::defaultFont();
    return context;
}

// The rectangle limited to the target, in 64 bits.
hal::Rect limit(const HAL_Surface& s, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return {};
    int64_t x1 = std::max<int64_t>(x, 0), y1 = std::max<int64_t>(y, 0);
    int64_t x2 = std::min<int64_t>(int64_t(x) + width, s.width), y2 = std::min<int64_t>(int64_t(y) + height, s.height);
    if (x1 >= x2 || y1 >= y2) return {};
    return {int32_t(x1), int32_t(y1), int32_t(x2), int32_t(y2)};
}

bool dotted(const HAL_Graphics* context) { return context->stroke == 1; }

void drawRegionOf(HAL_Graphics* context, HAL_Image* image, int32_t xSrc, int32_t ySrc, int32_t width, int32_t height,
                  int32_t transform, int32_t xDest, int32_t yDest) {
    if (context == nullptr || image == nullptr) return;
    const HAL_Surface& source = *hal::imageSurface(image);
    if (xSrc < 0 || ySrc < 0 || width <= 0 || height <= 0 || int64_t(xSrc) + width > source.width ||
        int64_t(ySrc) + height > source.height) {
        return;
    }
    hal::drawSurface(context->raster, source, xSrc, ySrc, width, height, transform, xDest, yDest);
}

}  // namespace

int HAL_createGraphicsWithImage(HAL_Graphics** context, HAL_Image* image) {
    if (context == nullptr || image == nullptr) return HAL_BAD_ARGUMENT;
    *context = newContext(hal::imageSurface(image));
    if (*context == nullptr) return HAL_OUT_OF_MEMORY;
    hal::retainImage(image);
    (*context)->image = image;
    return HAL_OK;
}

int HAL_createGraphicsWithScreenBuffer(HAL_Graphics** context, HAL_ScreenBuffer* buffer) {
    if (context == nullptr || buffer == nullptr) return HAL_BAD_ARGUMENT;
    *context = newContext(hal::screenSurface(buffer));
    if (*context == nullptr) return HAL_OUT_OF_MEMORY;
    hal::retainScreenBuffer(buffer);
    (*context)->buffer = buffer;
    return HAL_OK;
}

int HAL_deleteGraphics(HAL_Graphics* context) {
    if (context == nullptr) return HAL_BAD_ARGUMENT;
    HAL_deleteImage(context->image);
    hal::releaseScreenBuffer(context->buffer);
    delete context;
    return HAL_OK;
}

void HAL_setColor(HAL_Graphics* context, uint32_t argb) {
    if (context == nullptr) return;
    context->raster.paint.color = hal::to565(argb);
    context->raster.paint.alpha = argb >> 24;
}

int32_t HAL_getDisplayColor(HAL_Graphics* context, int32_t rgb) {
    if (context == nullptr) return -1;
    return int32_t(hal::widen565(hal::to565(uint32_t(rgb))));
}

void HAL_setFont(HAL_Graphics* context, HAL_Font* font) {
    if (context) context->font = font;
}

void HAL_setStrokeStyle(HAL_Graphics* context, int32_t style) {
    if (context) context->stroke = style;
}

void HAL_setBlendingMode(HAL_Graphics* context, int32_t mode) {
    if (context) context->raster.paint.mode = mode == 1 ? 1 : 0;
}

void HAL_setClip(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (context) context->raster.clip = limit(*context->surface, x, y, width, height);
}

void HAL_clipRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (context == nullptr) return;
    hal::Rect r = limit(*context->surface, x, y, width, height);
    hal::Rect& c = context->raster.clip;
    hal::Rect out{std::max(c.x1, r.x1), std::max(c.y1, r.y1), std::min(c.x2, r.x2), std::min(c.y2, r.y2)};
    c = out.empty() ? hal::Rect{} : out;
}

void HAL_drawLine(HAL_Graphics* context, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (context) hal::drawLine(context->raster, x1, y1, x2, y2, dotted(context));
}

void HAL_fillRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (context) hal::fillRect(context->raster, x, y, width, height);
}

void HAL_drawRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (context) hal::drawRect(context->raster, x, y, width, height, dotted(context));
}

void HAL_drawRoundRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t arcWidth,
                       int32_t arcHeight) {
    if (context) hal::drawRoundRect(context->raster, x, y, width, height, arcWidth, arcHeight, dotted(context));
}

void HAL_fillRoundRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t arcWidth,
                       int32_t arcHeight) {
    if (context) hal::fillRoundRect(context->raster, x, y, width, height, arcWidth, arcHeight);
}

void HAL_fillArc(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t startAngle,
                 int32_t arcAngle) {
    if (context) hal::fillArc(context->raster, x, y, width, height, startAngle, arcAngle);
}

void HAL_drawArc(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t startAngle,
                 int32_t arcAngle) {
    if (context) hal::drawArc(context->raster, x, y, width, height, startAngle, arcAngle, dotted(context));
}

void HAL_fillTriangle(HAL_Graphics* context, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3) {
    if (context) hal::fillTriangle(context->raster, x1, y1, x2, y2, x3, y3);
}

void HAL_fillGradientRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t colorA,
                          int32_t colorB, int32_t horizontal) {
    if (context) {
        hal::fillGradientRect(context->raster, x, y, width, height, uint32_t(colorA), uint32_t(colorB),
                              horizontal != 0);
    }
}

void HAL_drawString(HAL_Graphics* context, const char16_t* characters, int32_t count, int32_t x, int32_t y) {
    if (context) hal::drawText(context->raster, context->font, characters, count, x, y);
}

void HAL_drawImage(HAL_Graphics* context, HAL_Image* image, int32_t x, int32_t y) {
    if (context == nullptr || image == nullptr) return;
    const HAL_Surface& s = *hal::imageSurface(image);
    hal::drawSurface(context->raster, s, 0, 0, s.width, s.height, 0, x, y);
}

void HAL_drawRegion(HAL_Graphics* context, HAL_Image* image, int32_t xSrc, int32_t ySrc, int32_t width, int32_t height,
                    int32_t transform, int32_t xDest, int32_t yDest) {
    drawRegionOf(context, image, xSrc, ySrc, width, height, transform, xDest, yDest);
}

void HAL_drawMutableRegion(HAL_Graphics* context, HAL_Image* image, int32_t xSrc, int32_t ySrc, int32_t width,
                           int32_t height, int32_t transform, int32_t xDest, int32_t yDest) {
    HAL_drawRegion(context, image, xSrc, ySrc, width, height, transform, xDest, yDest);
}

void HAL_drawRGB(HAL_Graphics* context, const int32_t* data, int32_t length, int32_t offset, int32_t scanlength,
                 int32_t x, int32_t y, int32_t width, int32_t height, int32_t processAlpha) {
    if (context == nullptr || data == nullptr || width <= 0 || height <= 0) return;
    if (!hal::blockInside(length, offset, scanlength, width, height)) return;
    hal::drawARGB(context->raster, reinterpret_cast<const uint32_t*>(data), offset, scanlength, x, y, width, height,
                  processAlpha != 0);
}

int HAL_copyArea(HAL_Graphics* context, int32_t xSrc, int32_t ySrc, int32_t width, int32_t height, int32_t xDest,
                 int32_t yDest) {
    if (context == nullptr) return HAL_BAD_ARGUMENT;
    hal::copyArea(context->raster, xSrc, ySrc, width, height, xDest, yDest);
    return HAL_OK;
}

void HAL_drawScreenBuffer(HAL_Graphics* context, HAL_ScreenBuffer* buffer, int32_t x, int32_t y) {
    if (context == nullptr || buffer == nullptr) return;
    const HAL_Surface& s = *hal::screenSurface(buffer);
    if (&s == context->surface) return;  // a buffer drawn onto itself is already there
    hal::drawSurface(context->raster, s, 0, 0, s.width, s.height, 0, x, y);
}
