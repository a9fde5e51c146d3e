// Platform layer: native images and the PNG decoder.
#include "hal_image.h"

#include <png.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstring>
#include <new>

#include "hal_resource.h"
#include "hal_system.h"

struct HAL_Image {
    std::atomic<int32_t> references{1};
    HAL_Surface surface;
    bool isMutable = false;
};

namespace {

using hal::allocSurface;
using hal::freeSurface;

HAL_Image* newImage(HAL_Surface& surface, bool isMutable) {
    auto* image = new (std::nothrow) HAL_Image;
    if (image == nullptr) {
        freeSurface(surface);
        return nullptr;
    }
    image->surface = surface;
    image->isMutable = isMutable;
    return image;
}

// Why a surface of this size cannot be made: 2 for sides outside 1..32767,
// 5 for too many pixels (or no memory).
int surfaceStatus(int32_t width, int32_t height) {
    if (width < 1 || height < 1 || width > hal::kMaxSurfaceSide || height > hal::kMaxSurfaceSide) {
        return HAL_BAD_ARGUMENT;
    }
    return HAL_OUT_OF_MEMORY;
}

// --- PNG -----------------------------------------------------------------------------

struct PngInput {
    const uint8_t* bytes;
    size_t length;
    size_t position;
};

// Everything the decoder allocates, owned by the caller of decodePng so that
// it is released whether libpng returns or jumps out with an error.
struct PngDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    uint8_t* rgba = nullptr;    // one row (of indices for a palette), or every row of an interlaced image
    png_bytep* rows = nullptr;  // row pointers into rgba (interlaced)
    HAL_Surface surface;
    int status = HAL_BAD_FORMAT_ERR;
};

void readPng(png_structp png, png_bytep out, size_t count) {
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    if (count > in->length - in->position) png_error(png, "truncated");
    std::memcpy(out, in->bytes + in->position, count);
    in->position += count;
}

void pngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void pngWarning(png_structp, png_const_charp) {}

// RGBA rows to RGB565 and alpha.
void convertRow(const uint8_t* rgba, uint16_t* pixels, uint8_t* alpha, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, rgba += 4) {
        pixels[x] = uint16_t((rgba[0] & 0xF8) << 8 | (rgba[1] & 0xFC) << 3 | rgba[2] >> 3);
        alpha[x] = rgba[3];
    }
}

// A palette image's rows as indices (small depths unpacked to a byte each),
// each looked up in a table of the colours as stored and their alphas: the
// same pixels as expanding to RGBA first, for a quarter of the work. As
// libpng expands them, indices past the palette are black and entries past
// the "tRNS" alphas opaque.
void decodePaletteRows(PngDecode& d, png_uint_32 width, png_uint_32 height) {
    uint16_t colours[256] = {};
    uint8_t alphas[256];
    std::fill_n(alphas, 256, uint8_t(255));
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(d.png, d.info, &palette, &count) == 0) return;
    for (int i = 0; i < std::min(count, 256); ++i) {
        colours[i] = uint16_t((palette[i].red & 0xF8) << 8 | (palette[i].green & 0xFC) << 3 | palette[i].blue >> 3);
    }
    png_bytep trans = nullptr;
    int transCount = 0;
    if (png_get_tRNS(d.png, d.info, &trans, &transCount, nullptr) != 0 && trans != nullptr) {
        for (int i = 0; i < std::min(transCount, 256); ++i) alphas[i] = trans[i];
    }
    png_set_packing(d.png);
    png_read_update_info(d.png, d.info);
    if (png_get_rowbytes(d.png, d.info) != size_t(width)) return;
    if (!allocSurface(d.surface, int32_t(width), int32_t(height), true)) {
        d.status = HAL_OUT_OF_MEMORY;
        return;
    }
    d.rgba = static_cast<uint8_t*>(HAL_malloc(width));
    if (d.rgba == nullptr) {
        d.status = HAL_OUT_OF_MEMORY;
        return;
    }
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(d.png, d.rgba, nullptr);
        uint16_t* pixels = d.surface.pixels + size_t(y) * width;
        uint8_t* alpha = d.surface.alpha + size_t(y) * width;
        for (png_uint_32 x = 0; x < width; ++x) {
            pixels[x] = colours[d.rgba[x]];
            alpha[x] = alphas[d.rgba[x]];
        }
    }
    d.status = HAL_OK;
}

// Fills d.surface (always with an alpha plane) and sets d.status. Holds no
// object with a destructor: libpng leaves it through longjmp on errors.
void decodePng(PngDecode& d, PngInput& input) {
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (d.png == nullptr) {
        d.status = HAL_OUT_OF_MEMORY;
        return;
    }
    d.info = png_create_info_struct(d.png);
    if (d.info == nullptr) {
        d.status = HAL_OUT_OF_MEMORY;
        return;
    }
    if (setjmp(png_jmpbuf(d.png))) return;  // d.status says why
    png_set_read_fn(d.png, &input, readPng);
    png_set_user_limits(d.png, hal::kMaxSurfaceSide, hal::kMaxSurfaceSide);
    png_set_chunk_cache_max(d.png, 64);
    png_set_chunk_malloc_max(d.png, 4 * 1024 * 1024);
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_IGNORE_ADLER32)
    // Every IDAT chunk's CRC is still checked, so a damaged stream is still
    // refused; the zlib stream's own checksum over the same bytes only costs
    // time (a large share of decoding the packs' images).
    png_set_option(d.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_read_info(d.png, d.info);

    png_uint_32 width = png_get_image_width(d.png, d.info);
    png_uint_32 height = png_get_image_height(d.png, d.info);
    if (int64_t(width) * height > hal::kMaxSurfacePixels) return;
    int colorType = png_get_color_type(d.png, d.info);
    if (colorType == PNG_COLOR_TYPE_PALETTE && png_get_interlace_type(d.png, d.info) == PNG_INTERLACE_NONE) {
        decodePaletteRows(d, width, height);
        return;
    }
    png_set_expand(d.png);  // palettes, small grey depths, transparency chunk
    png_set_strip_16(d.png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(d.png);
    png_set_add_alpha(d.png, 0xFF, PNG_FILLER_AFTER);
    int passes = png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    if (png_get_rowbytes(d.png, d.info) != size_t(width) * 4) return;

    if (!allocSurface(d.surface, int32_t(width), int32_t(height), true)) {
        d.status = HAL_OUT_OF_MEMORY;
        return;
    }
    size_t rowBytes = size_t(width) * 4;
    if (passes > 1) {
        d.rgba = static_cast<uint8_t*>(HAL_malloc(rowBytes * height));
        d.rows = static_cast<png_bytep*>(HAL_malloc(sizeof(png_bytep) * height));
        if (d.rgba == nullptr || d.rows == nullptr) {
            d.status = HAL_OUT_OF_MEMORY;
            return;
        }
        for (png_uint_32 y = 0; y < height; ++y) d.rows[y] = d.rgba + rowBytes * y;
        png_read_image(d.png, d.rows);
        for (png_uint_32 y = 0; y < height; ++y) {
            convertRow(d.rows[y], d.surface.pixels + size_t(y) * width, d.surface.alpha + size_t(y) * width, width);
        }
    } else {
        d.rgba = static_cast<uint8_t*>(HAL_malloc(rowBytes));
        if (d.rgba == nullptr) {
            d.status = HAL_OUT_OF_MEMORY;
            return;
        }
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(d.png, d.rgba, nullptr);
            convertRow(d.rgba, d.surface.pixels + size_t(y) * width, d.surface.alpha + size_t(y) * width, width);
        }
    }
    d.status = HAL_OK;
}

int decodeImage(HAL_Image** image, const uint8_t* bytes, int32_t length, int32_t* width, int32_t* height) {
    PngInput input{bytes, size_t(length), 0};
    PngDecode d;
    decodePng(d, input);
    if (d.png) png_destroy_read_struct(&d.png, d.info ? &d.info : nullptr, nullptr);
    HAL_free(d.rgba);
    HAL_free(d.rows);
    if (d.status != HAL_OK) {
        freeSurface(d.surface);
        return d.status;
    }
    // Keep the alpha plane only when some pixel is not opaque.
    size_t count = size_t(d.surface.width) * size_t(d.surface.height);
    const uint8_t* alpha = d.surface.alpha;
    if (std::all_of(alpha, alpha + count, [](uint8_t a) { return a == 255; })) {
        HAL_free(d.surface.alpha);
        d.surface.alpha = nullptr;
    }
    HAL_Image* made = newImage(d.surface, false);
    if (made == nullptr) return HAL_OUT_OF_MEMORY;
    *image = made;
    if (width) *width = made->surface.width;
    if (height) *height = made->surface.height;
    return HAL_OK;
}

int copyRegion(HAL_Image** image, HAL_Image* source, int32_t x, int32_t y, int32_t width, int32_t height,
               int32_t transform) {
    if (image == nullptr || source == nullptr) return HAL_BAD_ARGUMENT;
    *image = nullptr;
    const HAL_Surface& s = source->surface;
    if (x < 0 || y < 0 || width < 1 || height < 1 || int64_t(x) + width > s.width || int64_t(y) + height > s.height) {
        return HAL_BAD_ARGUMENT;
    }
    int32_t format = (transform >> 8) & 3;
    bool withAlpha = format == 0 ? s.alpha != nullptr : format != 1;
    HAL_Surface out;
    if (!hal::transformRegion(out, s, x, y, width, height, transform, withAlpha)) return HAL_OUT_OF_MEMORY;
    HAL_Image* made = newImage(out, false);
    if (made == nullptr) return HAL_OUT_OF_MEMORY;
    *image = made;
    return HAL_OK;
}

int createMutable(HAL_Image** image, int32_t width, int32_t height, bool transparent) {
    if (image == nullptr) return HAL_BAD_ARGUMENT;
    *image = nullptr;
    HAL_Surface surface;
    if (!allocSurface(surface, width, height, transparent)) return surfaceStatus(width, height);
    size_t count = size_t(width) * size_t(height);
    std::fill_n(surface.pixels, count, transparent ? uint16_t(0) : uint16_t(0xFFFF));
    HAL_Image* made = newImage(surface, true);
    if (made == nullptr) return HAL_OUT_OF_MEMORY;
    *image = made;
    return HAL_OK;
}

int readRGB(HAL_Image* image, int32_t* data, int32_t length, int32_t offset, int32_t scanlength, int32_t x, int32_t y,
            int32_t width, int32_t height) {
    if (image == nullptr || (data == nullptr && length != 0)) return HAL_BAD_ARGUMENT;
    if (width <= 0 || height <= 0) return HAL_OK;
    const HAL_Surface& s = image->surface;
    if (x < 0 || y < 0 || int64_t(x) + width > s.width || int64_t(y) + height > s.height) return HAL_BAD_ARGUMENT;
    if (!hal::blockInside(length, offset, scanlength, width, height)) return HAL_BAD_ARGUMENT;
    for (int32_t row = 0; row < height; ++row) {
        int32_t* out = data + (int64_t(offset) + int64_t(row) * scanlength);
        size_t from = size_t(y + row) * size_t(s.width) + size_t(x);
        for (int32_t col = 0; col < width; ++col) out[col] = int32_t(hal::readPixel(s, from + size_t(col)));
    }
    return HAL_OK;
}

int hasAlpha(HAL_Image* image, int32_t* flag) {
    if (image == nullptr || flag == nullptr) return HAL_BAD_ARGUMENT;
    *flag = image->surface.alpha != nullptr ? 1 : 0;
    return HAL_OK;
}

}  // namespace

namespace hal {

HAL_Surface* imageSurface(HAL_Image* image) { return image ? &image->surface : nullptr; }

void retainImage(HAL_Image* image) {
    if (image) image->references.fetch_add(1, std::memory_order_relaxed);
}

bool blockInside(int64_t length, int64_t offset, int64_t scanlength, int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return true;
    int64_t rows = (height - 1) * scanlength;  // |value| < 2^62
    int64_t first = offset + std::min<int64_t>(rows, 0);
    int64_t last = offset + std::max<int64_t>(rows, 0) + width - 1;
    return first >= 0 && last < length;
}

}  // namespace hal

int HAL_createImageWithData(HAL_Image** image, const uint8_t* bytes, int32_t length, int32_t* width, int32_t* height) {
    if (image == nullptr || bytes == nullptr || length < 1) return HAL_BAD_ARGUMENT;
    *image = nullptr;
    return decodeImage(image, bytes, length, width, height);
}

int HAL_createImageWithResource(HAL_Image** image, const char16_t* name, int32_t nameLength, int32_t* width,
                                int32_t* height) {
    if (image == nullptr) return HAL_BAD_ARGUMENT;
    *image = nullptr;
    uint8_t* bytes = nullptr;
    int32_t size = 0;
    int status = HAL_loadResource(name, nameLength, &bytes, &size);
    if (status != HAL_OK) return status;
    status = size < 1 ? HAL_BAD_FORMAT_ERR : decodeImage(image, bytes, size, width, height);
    HAL_free(bytes);
    return status;
}

int HAL_createImageWithRGB(HAL_Image** image, const int32_t* values, int32_t length, int32_t width, int32_t height,
                           int32_t processAlpha) {
    if (image == nullptr || values == nullptr || length < 1) return HAL_BAD_ARGUMENT;
    *image = nullptr;
    if (width < 1 || height < 1 || int64_t(width) * height > length) return HAL_BAD_ARGUMENT;
    HAL_Surface surface;
    bool withAlpha = processAlpha != 0;
    if (!allocSurface(surface, width, height, withAlpha)) return HAL_OUT_OF_MEMORY;
    size_t count = size_t(width) * size_t(height);
    bool translucent = false;
    for (size_t i = 0; i < count; ++i) {
        uint32_t v = uint32_t(values[i]);
        surface.pixels[i] = hal::to565(v);
        if (withAlpha) {
            surface.alpha[i] = uint8_t(v >> 24);
            translucent |= (v >> 24) != 255;
        }
    }
    if (withAlpha && !translucent) {
        HAL_free(surface.alpha);
        surface.alpha = nullptr;
    }
    HAL_Image* made = newImage(surface, false);
    if (made == nullptr) return HAL_OUT_OF_MEMORY;
    *image = made;
    return HAL_OK;
}

int HAL_createImageWithImmutableImage(HAL_Image** image, HAL_Image* source) {
    if (image == nullptr || source == nullptr) return HAL_BAD_ARGUMENT;
    hal::retainImage(source);
    *image = source;
    return HAL_OK;
}

int HAL_createImageWithMutableImage(HAL_Image** image, HAL_Image* source) {
    if (image == nullptr || source == nullptr) return HAL_BAD_ARGUMENT;
    *image = nullptr;
    const HAL_Surface& s = source->surface;
    return copyRegion(image, source, 0, 0, s.width, s.height, 0);
}

int HAL_createImageWithImmutableRegion(HAL_Image** image, HAL_Image* source, int32_t x, int32_t y, int32_t width,
                                       int32_t height, int32_t transform) {
    return copyRegion(image, source, x, y, width, height, transform);
}

int HAL_createImageWithMutableRegion(HAL_Image** image, HAL_Image* source, int32_t x, int32_t y, int32_t width,
                                     int32_t height, int32_t transform) {
    return HAL_createImageWithImmutableRegion(image, source, x, y, width, height, transform);
}

int HAL_createMutableImage(HAL_Image** image, int32_t width, int32_t height) {
    return createMutable(image, width, height, false);
}

int HAL_createTransparentMutableImage(HAL_Image** image, int32_t width, int32_t height) {
    return createMutable(image, width, height, true);
}

int HAL_getImmutableRGB(HAL_Image* image, int32_t* data, int32_t length, int32_t offset, int32_t scanlength, int32_t x,
                        int32_t y, int32_t width, int32_t height) {
    return readRGB(image, data, length, offset, scanlength, x, y, width, height);
}

int HAL_getMutableRGB(HAL_Image* image, int32_t* data, int32_t length, int32_t offset, int32_t scanlength, int32_t x,
                      int32_t y, int32_t width, int32_t height) {
    return readRGB(image, data, length, offset, scanlength, x, y, width, height);
}

int HAL_getImmutableHasAlpha(HAL_Image* image, int32_t* flag) { return hasAlpha(image, flag); }

int HAL_getMutableHasAlpha(HAL_Image* image, int32_t* flag) { return hasAlpha(image, flag); }

int HAL_deleteImage(HAL_Image* image) {
    if (image == nullptr) return HAL_OK;
    if (image->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        freeSurface(image->surface);
        delete image;
    }
    return HAL_OK;
}
