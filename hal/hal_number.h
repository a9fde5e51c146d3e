// Platform layer: the limit constants of the floating-point types.
#pragma once

#include <cstdint>

// Stores, through each out-parameter that is not null, the float with the
// bit pattern: maximum 0x7F7FFFFF, smallest denormal 0x00000001, NaN
// 0x7FC00000, negative infinity 0xFF800000, positive infinity 0x7F800000.
void HAL_getFloatConstants(float* maxValue, float* minValue, float* nan, float* negativeInfinity,
                           float* positiveInfinity);
// The same for doubles: 0x7FEFFFFFFFFFFFFF, 0x0000000000000001,
// 0x7FF8000000000000, 0xFFF0000000000000, 0x7FF0000000000000.
void HAL_getDoubleConstants(double* maxValue, double* minValue, double* nan, double* negativeInfinity,
                            double* positiveInfinity);
