// The remainder of a division by a divisor that stays the same over many
// uses (a hash table's capacity): a multiplication instead of a division,
// which takes several times as long. Exact for every 32-bit dividend and
// every divisor above 0 (the method of Lemire, Kaser and Kurz).
#pragma once

#include <cstdint>

class VMModulo {
public:
    // x % d. The factor is made anew whenever d is not the last divisor.
    uint32_t remainder(uint32_t x, uint32_t d) {
        if (d != divisor) {
            divisor = d;
            factor = d == 0 ? 0 : UINT64_MAX / d + 1;
        }
        return uint32_t((static_cast<__uint128_t>(factor * x) * d) >> 64);
    }

private:
    uint64_t factor = 0;
    uint32_t divisor = 0;
};
