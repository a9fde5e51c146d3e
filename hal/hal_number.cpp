// Platform layer: floating-point constants built from their bit patterns.
#include "hal_number.h"

#include <cstring>

namespace {

template <class F, class Bits>
void store(F* out, Bits bits) {
    static_assert(sizeof(F) == sizeof(Bits));
    if (out != nullptr) std::memcpy(out, &bits, sizeof bits);
}

}  // namespace

void HAL_getFloatConstants(float* maxValue, float* minValue, float* nan, float* negativeInfinity,
                           float* positiveInfinity) {
    store(maxValue, uint32_t(0x7F7FFFFFu));
    store(minValue, uint32_t(0x00000001u));
    store(nan, uint32_t(0x7FC00000u));
    store(negativeInfinity, uint32_t(0xFF800000u));
    store(positiveInfinity, uint32_t(0x7F800000u));
}

void HAL_getDoubleConstants(double* maxValue, double* minValue, double* nan, double* negativeInfinity,
                            double* positiveInfinity) {
    store(maxValue, uint64_t(0x7FEFFFFFFFFFFFFFull));
    store(minValue, uint64_t(0x0000000000000001ull));
    store(nan, uint64_t(0x7FF8000000000000ull));
    store(negativeInfinity, uint64_t(0xFFF0000000000000ull));
    store(positiveInfinity, uint64_t(0x7FF0000000000000ull));
}
