// Platform layer: native images (decoded, built from ARGB values, cut from
// other images, or mutable and drawable).
//
// A native image is reference counted: every creator holds one reference and
// HAL_deleteImage gives one back; a graphics context drawing into an image
// holds one too. Images decode from PNG (every colour type and bit depth,
// palettes with transparency, interlaced), at most 32767 pixels a side and
// 8 Mi pixels in all.
#pragma once

#include <cstdint>

#include "hal_surface.h"

struct HAL_Image;

// The image family's own status: data that cannot be decoded.
constexpr int HAL_BAD_FORMAT_ERR = 6;

// Decodes an image file held in memory. HAL_BAD_ARGUMENT for a null argument
// or a length below 1; HAL_BAD_FORMAT_ERR for data that is not an image this
// layer decodes (malformed, truncated, or beyond the size limits);
// HAL_OUT_OF_MEMORY when memory runs out. HAL_OK with the image and its size.
int HAL_createImageWithData(HAL_Image** image, const uint8_t* bytes, int32_t length, int32_t* width, int32_t* height);
// Loads the resource file (its status when that fails: HAL_BAD_ARGUMENT,
// HAL_NOT_FOUND, HAL_OUT_OF_MEMORY, HAL_IO_ERROR) and
// decodes it as HAL_createImageWithData.
int HAL_createImageWithResource(HAL_Image** image, const char16_t* name, int32_t nameLength, int32_t* width,
                                int32_t* height);
// An image of width x height ARGB values (0xAARRGGBB; alpha used only when
// processAlpha). HAL_BAD_ARGUMENT for null pointers, a length below 1, sizes
// below 1 or a length short of width x height; HAL_OUT_OF_MEMORY when memory
// runs out or the size is beyond the limits.
int HAL_createImageWithRGB(HAL_Image** image, const int32_t* values, int32_t length, int32_t width, int32_t height,
                           int32_t processAlpha);
// Another reference to the same immutable image.
int HAL_createImageWithImmutableImage(HAL_Image** image, HAL_Image* source);
// An immutable copy of a mutable image's pixels as they are now: later
// drawing into the source does not show in the copy. HAL_OUT_OF_MEMORY when
// memory runs out.
int HAL_createImageWithMutableImage(HAL_Image** image, HAL_Image* source);
// A new immutable image of the region under the MIDP transform (low three
// bits). Bits 8 and 9 choose the new image's pixel format: 0 that of the
// source, 1 opaque, 2 and 3 with alpha. HAL_BAD_ARGUMENT for a region not
// inside the source or a side below 1; HAL_OUT_OF_MEMORY when memory runs out.
int HAL_createImageWithImmutableRegion(HAL_Image** image, HAL_Image* source, int32_t x, int32_t y, int32_t width,
                                       int32_t height, int32_t transform);
int HAL_createImageWithMutableRegion(HAL_Image** image, HAL_Image* source, int32_t x, int32_t y, int32_t width,
                                     int32_t height, int32_t transform);
// A mutable opaque image filled with white. HAL_BAD_ARGUMENT for a null out
// or a side below 1 or above 32767; HAL_OUT_OF_MEMORY when memory runs out or
// it has too many pixels.
int HAL_createMutableImage(HAL_Image** image, int32_t width, int32_t height);
// A mutable image with an alpha channel, every pixel fully transparent.
// Statuses as HAL_createMutableImage.
int HAL_createTransparentMutableImage(HAL_Image** image, int32_t width, int32_t height);
// Copies the region at (x, y) as ARGB values into data: row i goes to the
// elements from offset + i x scanlength on. The array (length elements) and
// the region are checked in full first: HAL_BAD_ARGUMENT when anything lies
// outside.
int HAL_getImmutableRGB(HAL_Image* image, int32_t* data, int32_t length, int32_t offset, int32_t scanlength, int32_t x,
                        int32_t y, int32_t width, int32_t height);
int HAL_getMutableRGB(HAL_Image* image, int32_t* data, int32_t length, int32_t offset, int32_t scanlength, int32_t x,
                      int32_t y, int32_t width, int32_t height);
// HAL_BAD_ARGUMENT when either is null; else whether the image keeps an alpha
// channel.
int HAL_getImmutableHasAlpha(HAL_Image* image, int32_t* hasAlpha);
int HAL_getMutableHasAlpha(HAL_Image* image, int32_t* hasAlpha);
// Gives back one reference (the last frees the image); null is ignored.
// HAL_OK.
int HAL_deleteImage(HAL_Image* image);

namespace hal {
// The image's pixels (for the renderer; null for a null image).
HAL_Surface* imageSurface(HAL_Image* image);
void retainImage(HAL_Image* image);
// Whether a block of width x height values at offset with the scanlength
// lies inside an array of length elements (every sum in 64 bits).
bool blockInside(int64_t length, int64_t offset, int64_t scanlength, int64_t width, int64_t height);
}  // namespace hal
