// Floating-point constants of the platform layer.
#include "hal_number.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <class Bits, class F>
Bits bitsOf(F value) {
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The patterns themselves are checked through Float and Double; here: each
// out-parameter is written on its own and null ones are skipped.
TEST(HalNumberTest, EachNonNullOutParameterGetsItsPattern) {
    float nan = 0;
    HAL_getFloatConstants(nullptr, nullptr, &nan, nullptr, nullptr);
    EXPECT_EQ(bitsOf<uint32_t>(nan), 0x7FC00000u);
    float negativeInfinity = 0;
    HAL_getFloatConstants(nullptr, nullptr, nullptr, &negativeInfinity, nullptr);
    EXPECT_EQ(bitsOf<uint32_t>(negativeInfinity), 0xFF800000u);
    double minimum = 0;
    HAL_getDoubleConstants(nullptr, &minimum, nullptr, nullptr, nullptr);
    EXPECT_EQ(bitsOf<uint64_t>(minimum), 1u);
    double maximum = 0;
    HAL_getDoubleConstants(&maximum, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(bitsOf<uint64_t>(maximum), 0x7FEFFFFFFFFFFFFFull);
    HAL_getFloatConstants(nullptr, nullptr, nullptr, nullptr, nullptr);
    HAL_getDoubleConstants(nullptr, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace
