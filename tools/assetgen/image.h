// Images: an ARGB raster, integer drawing operations, and PNG files written
// through libpng (RGBA, or palette with PLTE and tRNS).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"

namespace assetgen {

struct Raster {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // ARGB, row by row from the top

    Raster() = default;
    Raster(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

enum class Blend { Over, Copy };

// Drawing; everything is clipped to the raster. Over: source-over
// compositing in integers; Copy: the pixel takes the colour as it is.
void plot(Raster& r, int x, int y, uint32_t argb, Blend blend);
void fillRect(Raster& r, int x, int y, int w, int h, uint32_t argb, Blend blend);
void fillRoundRect(Raster& r, int x, int y, int w, int h, int radius, uint32_t argb, Blend blend);
// The pixels whose centres lie inside the ellipse inscribed in the box.
void fillEllipse(Raster& r, int x, int y, int w, int h, uint32_t argb, Blend blend);
// Bresenham, both end points drawn.
void drawLine(Raster& r, int x0, int y0, int x1, int y1, uint32_t argb, Blend blend);
// Each channel (alpha too) from `from` at the first column (row) to `to` at
// the last, rounded to nearest.
void fillGradient(Raster& r, int x, int y, int w, int h, uint32_t from, uint32_t to, bool vertical, Blend blend);
// Paints every fully transparent pixel with a 4-neighbour that is not.
void outline(Raster& r, uint32_t argb);
// Copies a region of another raster.
void blit(Raster& dst, const Raster& src, int sx, int sy, int w, int h, int dx, int dy);

// 1 all pixels opaque, 2 some fully transparent (none partly), 3 some partly
// transparent; a region without pixels counts as 2.
int alphaKind(const Raster& r, int x, int y, int w, int h);

// The distinct colours in order of first appearance (row by row).
std::vector<uint32_t> distinctColours(const Raster& r, size_t limit);

// PNG of 8-bit RGBA pixels.
Bytes writePngRgba(const Raster& r);
// PNG of 8-bit palette indices; every pixel must be a palette colour.
// Chunks IHDR, PLTE, tRNS (when an entry is not opaque), IDAT, IEND.
Bytes writePngPalette(const Raster& r, const std::vector<uint32_t>& palette);

}  // namespace assetgen
