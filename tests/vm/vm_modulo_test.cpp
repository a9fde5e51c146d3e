#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "VMModulo.h"

namespace {

// The remainder by multiplication against the division, over the edges of
// both ranges and random pairs, with the divisor changing between uses.
TEST(VMModuloTest, EqualsTheRemainderOfADivisionForEveryKindOfOperand) {
    std::vector<uint32_t> divisors = {1, 2, 3, 7, 11, 23, 47, 1024, 196607, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    std::vector<uint32_t> dividends = {0, 1, 2, 10, 11, 12, 0x7FFFFFFEu, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    std::mt19937 random(12345);
    for (int i = 0; i < 200; ++i) divisors.push_back(random() | 1u);
    for (int i = 0; i < 200; ++i) dividends.push_back(random());
    VMModulo modulo;
    for (uint32_t d : divisors) {
        for (uint32_t x : dividends) ASSERT_EQ(modulo.remainder(x, d), x % d) << x << " % " << d;
        // Just below and at multiples of the divisor.
        for (uint64_t k = 1; k <= 3 && k * d <= UINT32_MAX; ++k) {
            const uint32_t at = uint32_t(k * d);
            ASSERT_EQ(modulo.remainder(at, d), 0u) << at << " % " << d;
            ASSERT_EQ(modulo.remainder(at - 1, d), (at - 1) % d) << at - 1 << " % " << d;
        }
    }
}

}  // namespace
