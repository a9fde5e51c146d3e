// Test support: golden images.
#include "golden.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// tests/ in the source tree.
std::filesystem::path testsSourceDir() { return std::filesystem::path(VESSILO_SOURCE_ROOT) / "tests"; }

bool updating() {
    const char* value = std::getenv("VESSILO_UPDATE_GOLDENS");
    return value != nullptr && value[0] == '1';
}

}  // namespace

bool writePng(const std::string& path, const Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.width);
    image.height = png_uint_32(picture.height);
    image.format = PNG_FORMAT_BGRA;  // little-endian ARGB words are B, G, R, A bytes
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return png_image_write_to_file(&image, path.c_str(), 0, picture.argb.data(), 0, nullptr) != 0;
}

bool readPng(const std::string& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_BGRA;
    picture.width = int32_t(image.width);
    picture.height = int32_t(image.height);
    picture.argb.assign(size_t(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, picture.argb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

::testing::AssertionResult matchesGolden(const std::string& folder, const std::string& name, const Picture& actual,
                                         GoldenTolerance tolerance) {
    std::filesystem::path golden = testsSourceDir() / folder / "golden" / (name + ".png");
    if (updating()) {
        if (!writePng(golden.string(), actual)) return ::testing::AssertionFailure() << "cannot write " << golden;
        return ::testing::AssertionSuccess() << "wrote " << golden;
    }
    Picture expected;
    if (!readPng(golden.string(), expected)) {
        return ::testing::AssertionFailure()
               << "cannot read the golden " << golden << " (VESSILO_UPDATE_GOLDENS=1 writes it)";
    }
    std::filesystem::path out = std::filesystem::current_path() / "golden-out" / folder;
    if (expected.width != actual.width || expected.height != actual.height) {
        writePng((out / (name + ".actual.png")).string(), actual);
        return ::testing::AssertionFailure() << name << ": size " << actual.width << "x" << actual.height << ", golden "
                                             << expected.width << "x" << expected.height;
    }
    Picture diff = expected;
    size_t mismatches = 0;
    int32_t firstX = -1, firstY = -1;
    for (int32_t y = 0; y < actual.height; ++y) {
        for (int32_t x = 0; x < actual.width; ++x) {
            uint32_t a = actual.at(x, y), e = expected.at(x, y);
            int worst = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                worst = std::max(worst, std::abs(int((a >> shift) & 255) - int((e >> shift) & 255)));
            }
            size_t i = size_t(y) * size_t(actual.width) + size_t(x);
            if (worst > tolerance.channel) {
                if (mismatches++ == 0) {
                    firstX = x;
                    firstY = y;
                }
                diff.argb[i] = 0xFFFF0000u;
            } else {
                // Faded golden pixel, opaque, so that the changes stand out.
                uint32_t r = (e >> 16) & 255, g = (e >> 8) & 255, b = e & 255;
                uint32_t grey = (r * 76 + g * 150 + b * 29) >> 8;
                uint32_t faded = 160 + grey * 95 / 255;
                diff.argb[i] = 0xFF000000u | faded << 16 | faded << 8 | faded;
            }
        }
    }
    size_t allowed = size_t(tolerance.mismatchShare * double(actual.argb.size()));
    if (mismatches <= allowed) return ::testing::AssertionSuccess();
    writePng((out / (name + ".actual.png")).string(), actual);
    writePng((out / (name + ".diff.png")).string(), diff);
    char first[96];
    std::snprintf(first, sizeof first, "first at (%d, %d): actual %08X, golden %08X", firstX, firstY,
                  actual.at(firstX, firstY), expected.at(firstX, firstY));
    return ::testing::AssertionFailure() << name << ": " << mismatches << " pixels differ (" << allowed << " allowed), "
                                         << first << "; see " << out.string();
}
