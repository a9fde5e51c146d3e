// Platform layer: the software renderer's pixel surfaces and rasterisers.
//
// A surface holds RGB565 pixels and, when it has one, a separate 8-bit alpha
// plane (0 transparent, 255 opaque). Every rasteriser takes a Raster: the
// target surface, a clip rectangle in surface coordinates (already inside
// the surface) and a paint (colour, alpha, blending mode). Coordinates are
// 32-bit and may lie anywhere; the rasterisers clip before they iterate, so
// a huge shape costs no more than the part of it that is visible.
//
// Alpha: a paint or pixel alpha below 8 draws nothing, from 248 up it is
// opaque, in between it is blended. Image pixels blend with their own alpha
// times the paint's alpha. In blending mode 1 a drawn pixel replaces the
// target's colour and alpha instead.
#pragma once

#include <cstddef>
#include <cstdint>

struct HAL_Surface {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t* pixels = nullptr;  // width x height RGB565 values, rows top down
    uint8_t* alpha = nullptr;    // null: every pixel opaque
};

namespace hal {

// Sides above this are refused; so are surfaces above kMaxSurfacePixels.
constexpr int32_t kMaxSurfaceSide = 32767;
constexpr int64_t kMaxSurfacePixels = int64_t(4096) * 2048;

// Allocates the pixel store (and an alpha plane when asked, all 0) with the
// platform's counted allocation. Pixels are left unset. False when a side is
// below 1 or above the limits, or memory runs out (the surface stays empty).
bool allocSurface(HAL_Surface& surface, int32_t width, int32_t height, bool withAlpha);
// Adds an alpha plane, every pixel opaque. False when memory runs out.
bool addAlphaPlane(HAL_Surface& surface);
void freeSurface(HAL_Surface& surface);

constexpr uint16_t to565(uint32_t rgb) {
    return uint16_t(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F));
}
// 0x00RRGGBB of an RGB565 value, each channel widened by bit replication so
// that white stays white and black black.
constexpr uint32_t widen565(uint16_t c) {
    uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}
// The ARGB value of one pixel of a surface.
inline uint32_t readPixel(const HAL_Surface& s, size_t index) {
    uint32_t a = s.alpha ? s.alpha[index] : 255u;
    return a << 24 | widen565(s.pixels[index]);
}

struct Paint {
    uint16_t color = 0;  // RGB565
    uint32_t alpha = 255;
    int32_t mode = 0;  // 0 blend, 1 replace colour and alpha
};

// A clip rectangle: x1, y1 inclusive, x2, y2 exclusive.
struct Rect {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool empty() const { return x1 >= x2 || y1 >= y2; }
};

struct Raster {
    HAL_Surface* surface = nullptr;
    Rect clip;
    Paint paint;
};

// Fills and copies of whole rectangles of pixels: `fill` sets width x rows
// pixels, rows `pitch` pixels apart; `copy` copies width x rows pixels
// between rectangles that do not overlap. rowKernels() are those chosen for
// this processor at start-up (AVX2 where it has it), baselineKernels() the
// SSE2 ones every x86-64 processor runs.
struct RectKernels {
    void (*fill)(uint16_t* p, size_t width, size_t rows, size_t pitch, uint16_t c);
    void (*copy)(uint16_t* d, ptrdiff_t dPitch, const uint16_t* s, ptrdiff_t sPitch, size_t width, size_t rows);
};
const RectKernels& rowKernels();
const RectKernels& baselineKernels();

// Combines two alphas 0..255 (255 x a == a).
constexpr uint32_t mulAlpha(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

// Shapes. Widths and heights follow the MIDP rules: a fill covers
// width x height pixels, an outline (drawRect, drawArc, drawRoundRect)
// covers (width + 1) x (height + 1); negative sizes draw nothing.
void fillRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height);
void drawRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, bool dotted);
void drawLine(const Raster& r, int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool dotted);
void fillRoundRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, int32_t arcWidth,
                   int32_t arcHeight);
void drawRoundRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, int32_t arcWidth,
                   int32_t arcHeight, bool dotted);
// Angles in degrees, 0 at three o'clock, positive counter-clockwise; 45
// degrees always points at the bounding box's upper right corner.
void fillArc(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, int32_t startAngle,
             int32_t arcAngle);
void drawArc(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, int32_t startAngle, int32_t arcAngle,
             bool dotted);
// Pixels whose centres lie inside the triangle (left and top edges inside).
void fillTriangle(const Raster& r, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3);
// Shaded linearly from colour A to colour B (their RGB parts; the paint's
// alpha and mode apply), along the width when horizontal, else the height.
void fillGradientRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colorA,
                      uint32_t colorB, bool horizontal);

// Draws the width x height region at (sx, sy) of the source (which the
// caller has checked lies inside it) under the MIDP transform (low three
// bits) with the transformed region's top-left corner at (dx, dy).
void drawSurface(const Raster& r, const HAL_Surface& source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                 int32_t transform, int32_t dx, int32_t dy);
// Makes a new surface of the transformed region (alpha plane when withAlpha).
bool transformRegion(HAL_Surface& out, const HAL_Surface& source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                     int32_t transform, bool withAlpha);
// ARGB values: row i of the width x height block starts at element
// offset + i x scanlength of data (length elements); the caller has checked
// that every element read lies inside. Alpha is used only when processAlpha.
void drawARGB(const Raster& r, const uint32_t* data, int64_t offset, int32_t scanlength, int32_t x, int32_t y,
              int32_t width, int32_t height, bool processAlpha);
// An 8-bit coverage mask (pitch bytes a row) in the paint's colour, always
// blended (blending mode 1 does not apply).
void drawMask(const Raster& r, const uint8_t* mask, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y);
// Copies the rectangle of the raster's surface to (dx, dy), pixels and alpha
// unchanged; the destination is clipped, the source limited to the surface.
// Overlapping rectangles copy as if through a temporary.
void copyArea(const Raster& r, int32_t sx, int32_t sy, int32_t width, int32_t height, int32_t dx, int32_t dy);

// Row kernels, exposed for the benchmarks.
void fillRow(uint16_t* pixels, uint8_t* alpha, int32_t count, const Paint& paint);
void blendRowAlpha(uint16_t* dst, const uint16_t* src, const uint8_t* srcAlpha, int32_t count);
// The same with the source read every step elements (a transformed row).
void blendStridedAlpha(uint16_t* dst, const uint16_t* src, const uint8_t* srcAlpha, ptrdiff_t step, int32_t count);

}  // namespace hal
