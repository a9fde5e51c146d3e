// The renderer below the class library: alpha rules, the PNG decoder and its
// limits, image copies and references, and the bounds and overlap handling
// of RGB data, regions and area copies.
#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "hal_graphics.h"
#include "hal_image.h"
#include "hal_screen.h"
#include "hal_surface.h"
#include "hal_system.h"

namespace {

// --- PNG files made in memory -------------------------------------------------------

struct PngLayout {
    int colorType;
    int depth;
    int interlace;
    int width, height;
    std::vector<std::vector<uint8_t>> rows;  // raw row bytes
    bool paletteWithTransparency = false;    // palette red, green, blue, white; index 0 clear, 1 half
    int greyTransparent = -1;                // the grey value that is transparent
};

void writeToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void flushNothing(png_structp) {}

std::vector<uint8_t> encode(const PngLayout& layout) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, writeToVector, flushNothing);
    png_set_IHDR(png, info, png_uint_32(layout.width), png_uint_32(layout.height), layout.depth, layout.colorType,
                 layout.interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (layout.paletteWithTransparency) {
        png_color palette[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        png_set_PLTE(png, info, palette, 4);
        png_byte alpha[2] = {0, 128};
        png_set_tRNS(png, info, alpha, 2, nullptr);
        png_set_check_for_invalid_index(png, 0);  // a file may hold indices past its palette
    }
    if (layout.greyTransparent >= 0) {
        png_color_16 grey{};
        grey.gray = png_uint_16(layout.greyTransparent);
        png_set_tRNS(png, info, nullptr, 0, &grey);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& row : layout.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// The ARGB a decoded pixel reads back as: RGB through RGB565.
uint32_t stored(uint32_t argb) { return (argb & 0xFF000000u) | hal::widen565(hal::to565(argb)); }

std::vector<uint32_t> pixelsOf(HAL_Image* image, int32_t w, int32_t h) {
    std::vector<int32_t> data(size_t(w) * h);
    EXPECT_EQ(HAL_getImmutableRGB(image, data.data(), int32_t(data.size()), 0, w, 0, 0, w, h), HAL_OK);
    return std::vector<uint32_t>(data.begin(), data.end());
}

HAL_Image* decode(const std::vector<uint8_t>& file, int32_t* w, int32_t* h, int* status) {
    HAL_Image* image = nullptr;
    *status = HAL_createImageWithData(&image, file.data(), int32_t(file.size()), w, h);
    return image;
}

}  // namespace

TEST(HalRenderer, PaintAlphaBelow8DrawsNothingFrom248IsOpaqueAndBetweenBlends) {
    HAL_Image* image = nullptr;
    ASSERT_EQ(HAL_createMutableImage(&image, 8, 1), HAL_OK);  // white
    HAL_Graphics* g = nullptr;
    ASSERT_EQ(HAL_createGraphicsWithImage(&g, image), HAL_OK);
    struct Case {
        uint32_t alpha;
        uint32_t expected;  // black over white
    };
    const Case cases[] = {{0, 0xFFFFFFFF},   {7, 0xFFFFFFFF},   {8, 0xFFF7F7F7},  {128, 0xFF7B7D7B},
                          {247, 0xFF000400}, {248, 0xFF000000}, {255, 0xFF000000}};
    for (const Case& c : cases) {
        HAL_setColor(g, 0xFFFFFFFF);
        HAL_fillRect(g, 0, 0, 8, 1);
        HAL_setColor(g, c.alpha << 24);
        HAL_fillRect(g, 0, 0, 8, 1);
        std::vector<uint32_t> px = pixelsOf(image, 8, 1);
        for (uint32_t p : px) EXPECT_EQ(p, c.expected) << "alpha " << c.alpha;
    }
    // The colour as the target stores it: RGB565 widened by bit replication.
    EXPECT_EQ(HAL_getDisplayColor(g, 0xFFFFFF), 0xFFFFFF);
    EXPECT_EQ(HAL_getDisplayColor(g, 0x123456), 0x103452);
    EXPECT_EQ(HAL_getDisplayColor(nullptr, 0x123456), -1);
    HAL_deleteGraphics(g);
    HAL_deleteImage(image);
}

TEST(HalRenderer, WideAlphaBlendMatchesThePixelAtATimeRule) {
    std::mt19937 random(7);
    std::vector<uint16_t> src(1027), dst(1027), expected;
    std::vector<uint8_t> alpha(1027);
    for (size_t i = 0; i < src.size(); ++i) {
        src[i] = uint16_t(random());
        dst[i] = uint16_t(random());
        alpha[i] = uint8_t(i < 256 ? i : random());  // every alpha value once
    }
    // The reference: each pixel alone through a 1 x 1 surface, which the
    // eight-pixel loop never sees.
    for (size_t i = 0; i < src.size(); ++i) {
        HAL_Surface target{1, 1, &dst[i], nullptr};
        HAL_Surface source{1, 1, &src[i], &alpha[i]};
        uint16_t keep = dst[i];
        hal::Raster r{&target, {0, 0, 1, 1}, hal::Paint{}};
        hal::drawSurface(r, source, 0, 0, 1, 1, 0, 0, 0);
        expected.push_back(dst[i]);
        dst[i] = keep;
    }
    std::vector<uint16_t> strided = dst;
    hal::blendRowAlpha(dst.data(), src.data(), alpha.data(), int32_t(dst.size()));
    EXPECT_EQ(dst, expected);
    // The same read backwards, as a mirrored region reads its rows.
    std::reverse(src.begin(), src.end());
    std::reverse(alpha.begin(), alpha.end());
    hal::blendStridedAlpha(strided.data(), &src.back(), &alpha.back(), -1, int32_t(strided.size()));
    EXPECT_EQ(strided, expected);
}

TEST(HalRenderer, DecodesEveryColourTypeDepthAndInterlacing) {
    struct Case {
        const char* name;
        PngLayout layout;
        std::vector<uint32_t> expected;
    };
    std::vector<Case> cases = {
        {"rgba 8",
         {PNG_COLOR_TYPE_RGBA, 8, PNG_INTERLACE_NONE, 2, 1, {{255, 0, 0, 255, 10, 20, 30, 0x40}}},
         {0xFFFF0000, stored(0x400A141E)}},
        {"palette 2 bit with transparency",
         {PNG_COLOR_TYPE_PALETTE, 2, PNG_INTERLACE_NONE, 4, 1, {{0x1B}}, true},  // indices 0 1 2 3
         {stored(0x00FF0000), stored(0x8000FF00), 0xFF0000FF, 0xFFFFFFFF}},
        {"palette 4 bit, an index past the palette",
         {PNG_COLOR_TYPE_PALETTE, 4, PNG_INTERLACE_NONE, 5, 1, {{0x32, 0x10, 0x70}}, true},  // 3 2 1 0 7
         {0xFFFFFFFF, 0xFF0000FF, stored(0x8000FF00), stored(0x00FF0000), 0xFF000000}},
        {"grey 16 bit with transparency",
         {PNG_COLOR_TYPE_GRAY, 16, PNG_INTERLACE_NONE, 2, 1, {{0x12, 0x34, 0x80, 0x00}}, false, 0x1234},
         {stored(0x00121212), stored(0xFF808080)}},
        {"grey 1 bit",
         {PNG_COLOR_TYPE_GRAY, 1, PNG_INTERLACE_NONE, 3, 1, {{0xA0}}},
         {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
        {"grey and alpha",
         {PNG_COLOR_TYPE_GRAY_ALPHA, 8, PNG_INTERLACE_NONE, 1, 1, {{0x55, 0x99}}},
         {stored(0x99555555)}},
        {"rgb 16 bit",
         {PNG_COLOR_TYPE_RGB, 16, PNG_INTERLACE_NONE, 1, 1, {{0xFF, 0x01, 0x00, 0xFF, 0x80, 0x80}}},
         {stored(0xFFFF0080)}},
    };
    // An interlaced picture reads as the same picture without interlacing.
    PngLayout plain{PNG_COLOR_TYPE_RGB, 8, PNG_INTERLACE_NONE, 9, 9, {}};
    std::vector<uint32_t> plainPixels;
    for (int y = 0; y < 9; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 9; ++x) {
            uint8_t r = uint8_t(x * 28), g = uint8_t(y * 28), b = uint8_t((x + y) * 14);
            row.insert(row.end(), {r, g, b});
            plainPixels.push_back(stored(0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b));
        }
        plain.rows.push_back(row);
    }
    PngLayout interlaced = plain;
    interlaced.interlace = PNG_INTERLACE_ADAM7;
    cases.push_back({"rgb 8", plain, plainPixels});
    cases.push_back({"rgb 8 interlaced", interlaced, plainPixels});

    for (const Case& c : cases) {
        int32_t w = 0, h = 0;
        int status = -1;
        HAL_Image* image = decode(encode(c.layout), &w, &h, &status);
        ASSERT_EQ(status, HAL_OK) << c.name;
        EXPECT_EQ(w, c.layout.width) << c.name;
        EXPECT_EQ(h, c.layout.height) << c.name;
        EXPECT_EQ(pixelsOf(image, w, h), c.expected) << c.name;
        int32_t hasAlpha = -1;
        EXPECT_EQ(HAL_getImmutableHasAlpha(image, &hasAlpha), HAL_OK);
        bool translucent = false;
        for (uint32_t p : c.expected) translucent |= (p >> 24) != 255;
        EXPECT_EQ(hasAlpha, translucent ? 1 : 0) << c.name;
        HAL_deleteImage(image);
    }
}

TEST(HalRenderer, MalformedTruncatedAndOversizedFilesAreBadFormat) {
    PngLayout layout{PNG_COLOR_TYPE_RGB, 8, PNG_INTERLACE_NONE, 4, 4, {}};
    for (int y = 0; y < 4; ++y) layout.rows.push_back(std::vector<uint8_t>(12, uint8_t(y * 60)));
    const std::vector<uint8_t> good = encode(layout);
    std::vector<std::vector<uint8_t>> bad;
    bad.push_back({'G', 'I', 'F', '8', '9', 'a'});
    for (size_t cut : {size_t(8), size_t(20), size_t(33), good.size() / 2, good.size() - 13}) {
        bad.emplace_back(good.begin(), good.begin() + long(cut));
    }
    std::vector<uint8_t> corrupt = good;
    corrupt[good.size() / 2] ^= 0x5A;  // inside the image data: its checksum no longer holds
    bad.push_back(corrupt);
    // Sides beyond 32767, and a pixel count beyond the limit.
    for (auto [w, h] : {std::pair<uint32_t, uint32_t>{40000, 1}, {1, 40000}, {30000, 30000}}) {
        std::vector<uint8_t> big = good;
        for (int k = 0; k < 4; ++k) {
            big[16 + k] = uint8_t(w >> (24 - 8 * k));
            big[20 + k] = uint8_t(h >> (24 - 8 * k));
        }
        bad.push_back(big);
    }
    for (size_t i = 0; i < bad.size(); ++i) {
        int32_t w = -1, h = -1;
        int status = -1;
        HAL_Image* image = decode(bad[i], &w, &h, &status);
        EXPECT_EQ(status, HAL_BAD_FORMAT_ERR) << "case " << i;
        EXPECT_EQ(image, nullptr) << "case " << i;
    }
    HAL_Image* image = nullptr;
    EXPECT_EQ(HAL_createImageWithData(&image, good.data(), 0, nullptr, nullptr), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_createImageWithData(&image, nullptr, 5, nullptr, nullptr), HAL_BAD_ARGUMENT);
}

TEST(HalRenderer, ACopyOfAMutableImageKeepsItsPixelsAndContextsHoldTheirTarget) {
    HAL_Image* mutableImage = nullptr;
    ASSERT_EQ(HAL_createTransparentMutableImage(&mutableImage, 4, 4), HAL_OK);
    HAL_Graphics* g = nullptr;
    ASSERT_EQ(HAL_createGraphicsWithImage(&g, mutableImage), HAL_OK);
    HAL_setColor(g, 0xFFFF0000);
    HAL_fillRect(g, 0, 0, 4, 4);
    HAL_Image* copy = nullptr;
    ASSERT_EQ(HAL_createImageWithMutableImage(&copy, mutableImage), HAL_OK);
    HAL_setColor(g, 0xFF0000FF);
    HAL_fillRect(g, 0, 0, 4, 4);  // later drawing does not show in the copy
    EXPECT_EQ(pixelsOf(copy, 4, 4), std::vector<uint32_t>(16, 0xFFFF0000));
    // The context keeps its target alive after the image's own reference goes.
    HAL_deleteImage(mutableImage);
    HAL_fillRect(g, 0, 0, 2, 2);
    HAL_deleteGraphics(g);
    HAL_deleteImage(copy);
}

TEST(HalRenderer, RGBDataIsClippedBeforeAnythingIsReadAndMustLieInTheArray) {
    HAL_ScreenBuffer* buffer = hal::createScreenBuffer(16, 16);
    HAL_Graphics* g = nullptr;
    ASSERT_EQ(HAL_createGraphicsWithScreenBuffer(&g, buffer), HAL_OK);
    std::vector<int32_t> data(4, int32_t(0xFFFFFFFF));
    // A huge height with scanlength 0 reads the same row again: only the
    // visible rows cost anything.
    auto start = std::chrono::steady_clock::now();
    HAL_drawRGB(g, data.data(), 4, 0, 0, 2, 2, 4, INT_MAX, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    const HAL_Surface& s = *hal::screenSurface(buffer);
    EXPECT_EQ(s.pixels[2 * 16 + 2], 0xFFFF);
    EXPECT_EQ(s.pixels[15 * 16 + 5], 0xFFFF);
    EXPECT_EQ(s.pixels[15 * 16 + 6], 0);
    // Blocks reaching outside the array draw nothing, however the products
    // would wrap in 32 bits.
    std::fill_n(s.pixels, 256, uint16_t(0));
    HAL_drawRGB(g, data.data(), 4, 0, 65536, 0, 0, 1, 65537, 0);
    HAL_drawRGB(g, data.data(), 4, 3, 1, 0, 0, 2, 1, 0);
    HAL_drawRGB(g, data.data(), 4, 0, -1, 0, 0, 1, 2, 0);
    HAL_drawRGB(g, data.data(), 4, INT_MAX, 0, 0, 0, 1, 1, 0);
    EXPECT_EQ(std::count(s.pixels, s.pixels + 256, 0), 256);
    EXPECT_TRUE(hal::blockInside(4, 3, -1, 1, 4));
    EXPECT_FALSE(hal::blockInside(4, 2, -1, 1, 4));
    EXPECT_FALSE(hal::blockInside(INT_MAX, 0, INT_MAX, INT_MAX, INT_MAX));
    // Regions outside the image draw nothing either.
    HAL_Image* image = nullptr;
    ASSERT_EQ(HAL_createMutableImage(&image, 4, 4), HAL_OK);
    HAL_drawRegion(g, image, 1, 0, INT_MAX, 4, 0, 0, 0);
    HAL_drawRegion(g, image, INT_MAX, 0, 2, 2, 0, 0, 0);
    EXPECT_EQ(std::count(s.pixels, s.pixels + 256, 0), 256);
    HAL_Image* region = nullptr;
    EXPECT_EQ(HAL_createImageWithImmutableRegion(&region, image, 2, 2, INT_MAX, 1, 0), HAL_BAD_ARGUMENT);
    EXPECT_EQ(region, nullptr);
    HAL_deleteImage(image);
    HAL_deleteGraphics(g);
    HAL_deleteScreenBuffer(buffer);
}

TEST(HalRenderer, CopyAreaIsRightInEveryDirectionOfOverlap) {
    const int n = 12;
    for (auto [dx, dy] : {std::pair{3, 2}, {-3, 2}, {3, -2}, {-3, -2}, {0, 5}, {5, 0}}) {
        HAL_Image* image = nullptr;
        ASSERT_EQ(HAL_createTransparentMutableImage(&image, n, n), HAL_OK);
        HAL_Surface& s = *hal::imageSurface(image);
        for (int i = 0; i < n * n; ++i) {
            s.pixels[i] = uint16_t(i * 37);
            s.alpha[i] = uint8_t(i);
        }
        std::vector<uint16_t> before(s.pixels, s.pixels + n * n);
        HAL_Graphics* g = nullptr;
        ASSERT_EQ(HAL_createGraphicsWithImage(&g, image), HAL_OK);
        ASSERT_EQ(HAL_copyArea(g, 3, 3, 6, 6, 3 + dx, 3 + dy), HAL_OK);
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                int sx = x - dx, sy = y - dy;
                bool copied = sx >= 3 && sx < 9 && sy >= 3 && sy < 9;
                uint16_t want = copied ? before[size_t(sy * n + sx)] : before[size_t(y * n + x)];
                ASSERT_EQ(s.pixels[y * n + x], want) << "shift " << dx << "," << dy << " at " << x << "," << y;
                ASSERT_EQ(s.alpha[y * n + x], copied ? sy * n + sx : y * n + x);
            }
        }
        HAL_deleteGraphics(g);
        HAL_deleteImage(image);
    }
    EXPECT_EQ(HAL_copyArea(nullptr, 0, 0, 1, 1, 0, 0), HAL_BAD_ARGUMENT);
}

// The rectangle kernels chosen for this processor do what the SSE2 ones do,
// and what a plain loop does, on random rectangles: odd widths and starts,
// rows as wide as the surface (one span), copies read upward (negative
// pitch); nothing outside the rectangle changes.
TEST(HalRenderer, TheChosenRectangleKernelsMatchTheSse2OnesOnRandomRectangles) {
    const hal::RectKernels& chosen = hal::rowKernels();
    const hal::RectKernels& floor = hal::baselineKernels();
    std::mt19937 random(2113);
    auto pick = [&](int lo, int hi) { return lo + int(random() % uint32_t(hi - lo + 1)); };
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        const int pitch = pick(1, 300), rows = pick(1, 40);
        const int width = round % 4 == 0 ? pitch : pick(1, pitch);
        const int x = pick(0, pitch - width), y = pick(0, rows - 1), h = pick(1, rows - y);
        std::vector<uint16_t> ground(size_t(pitch) * rows);
        for (uint16_t& p : ground) p = uint16_t(random());
        std::vector<uint16_t> a = ground, b = ground, expected = ground;
        const uint16_t c = uint16_t(random());
        uint16_t* at = a.data() + size_t(y) * pitch + x;
        chosen.fill(at, size_t(width), size_t(h), size_t(pitch), c);
        floor.fill(b.data() + size_t(y) * pitch + x, size_t(width), size_t(h), size_t(pitch), c);
        for (int r = y; r < y + h; ++r)
            for (int k = x; k < x + width; ++k) expected[size_t(r) * pitch + k] = c;
        ASSERT_EQ(a, expected);
        ASSERT_EQ(b, expected);

        // A copy from another surface, read top down or bottom up.
        const int sourcePitch = pick(width, 320);
        std::vector<uint16_t> source(size_t(sourcePitch) * h);
        for (uint16_t& p : source) p = uint16_t(random());
        const bool upward = random() % 2 == 0;
        const uint16_t* from = source.data() + (upward ? size_t(h - 1) * sourcePitch : 0);
        const ptrdiff_t step = upward ? -ptrdiff_t(sourcePitch) : ptrdiff_t(sourcePitch);
        a = ground;
        b = ground;
        expected = ground;
        chosen.copy(a.data() + size_t(y) * pitch + x, pitch, from, step, size_t(width), size_t(h));
        floor.copy(b.data() + size_t(y) * pitch + x, pitch, from, step, size_t(width), size_t(h));
        for (int r = 0; r < h; ++r)
            for (int k = 0; k < width; ++k) expected[size_t(y + r) * pitch + x + k] = from[r * step + k];
        ASSERT_EQ(a, expected);
        ASSERT_EQ(b, expected);
    }
}
