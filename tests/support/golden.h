// Test support: pictures as ARGB pixels, PNG files, and comparison with the
// golden images kept beside the tests (tests/<folder>/golden/<name>.png).
//
// On a mismatch the actual picture and a difference image (changed pixels
// red over a faded copy of the golden) are written to golden-out/<folder>/
// in the test's working folder (the build tree). With the environment
// variable VESSILO_UPDATE_GOLDENS=1 the golden files are (re)written instead.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> argb;  // rows top down

    uint32_t at(int32_t x, int32_t y) const { return argb[size_t(y) * size_t(width) + size_t(x)]; }
};

// 8-bit RGBA PNG files.
bool writePng(const std::string& path, const Picture& picture);
bool readPng(const std::string& path, Picture& picture);

struct GoldenTolerance {
    int channel = 0;           // largest difference of one channel still equal
    double mismatchShare = 0;  // share of pixels that may differ beyond it
};

::testing::AssertionResult matchesGolden(const std::string& folder, const std::string& name, const Picture& actual,
                                         GoldenTolerance tolerance = {});
