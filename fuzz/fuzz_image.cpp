// Fuzz target: image files from outside, through the platform's decoder
// wrapper (HAL_createImageWithData), and the decoded image through the
// renderer (every transform, a region copy, reading pixels back).
//
// Input layout: byte 0 bit 0 set makes the target rewrite each chunk's CRC
// before decoding, so that mutated files get past the checksums into the
// decoder proper; bits 1 to 3 pick a transform. The rest is the file.
//
// Allowed outcomes: status 0 with an image of sides 1..32767, or a failure
// status (2, 5, 6). Anything else (a crash, a sanitizer report, another
// status, a size outside the limits) is a finding.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "hal_graphics.h"
#include "hal_image.h"
#include "hal_system.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_image: %s\n", what);
    std::abort();
}

uint32_t bigEndian(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Recomputes the CRC of every whole chunk after the 8-byte signature.
void fixChunkChecksums(std::vector<uint8_t>& file) {
    size_t at = 8;
    while (at + 12 <= file.size()) {
        uint32_t length = bigEndian(&file[at]);
        if (length > file.size() - at - 12) break;
        uLong crc = crc32(0, &file[at + 4], uInt(length + 4));
        uint8_t* out = &file[at + 8 + length];
        out[0] = uint8_t(crc >> 24);
        out[1] = uint8_t(crc >> 16);
        out[2] = uint8_t(crc >> 8);
        out[3] = uint8_t(crc);
        at += 12 + size_t(length);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    std::vector<uint8_t> file(data + 1, data + size);
    if (data[0] & 1) fixChunkChecksums(file);
    int32_t transform = (data[0] >> 1) & 7;

    HAL_Image* image = nullptr;
    int32_t width = 0, height = 0;
    int status = file.empty() ? HAL_BAD_ARGUMENT
                              : HAL_createImageWithData(&image, file.data(), int32_t(file.size()), &width, &height);
    if (status != HAL_OK) {
        if (image != nullptr) fail("an image came back with a failure status");
        if (status != HAL_BAD_ARGUMENT && status != HAL_OUT_OF_MEMORY && status != HAL_BAD_FORMAT_ERR) {
            fail("unexpected status");
        }
        return 0;
    }
    if (image == nullptr || width < 1 || height < 1 || width > 32767 || height > 32767) fail("bad image");

    // Draw it, and a transformed corner of it, onto a small surface.
    HAL_Image* target = nullptr;
    HAL_Graphics* g = nullptr;
    if (HAL_createTransparentMutableImage(&target, 64, 48) != HAL_OK) fail("no target");
    if (HAL_createGraphicsWithImage(&g, target) != HAL_OK) fail("no context");
    HAL_setColor(g, 0x80FFFFFFu);
    HAL_drawImage(g, image, -width / 2, -height / 2);
    int32_t rw = width < 40 ? width : 40, rh = height < 40 ? height : 40;
    HAL_drawRegion(g, image, width - rw, height - rh, rw, rh, transform, 3, 5);
    HAL_Image* cut = nullptr;
    if (HAL_createImageWithImmutableRegion(&cut, image, 0, 0, rw, rh, transform | 0x200) == HAL_OK) {
        HAL_drawImage(g, cut, 10, 10);
        HAL_deleteImage(cut);
    }
    std::vector<int32_t> pixels(size_t(rw) * rh);
    if (HAL_getImmutableRGB(image, pixels.data(), int32_t(pixels.size()), 0, rw, 0, 0, rw, rh) != HAL_OK) {
        fail("reading pixels back failed");
    }
    HAL_deleteGraphics(g);
    HAL_deleteImage(target);
    HAL_deleteImage(image);
    return 0;
}
