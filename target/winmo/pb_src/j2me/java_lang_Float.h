// java.lang.Float: text conversion, the bit-pattern conversion and the limit
// constants of the 32-bit floating-point type.
#pragma once

#include <bit>

#include "VMClass.h"

namespace java::lang {

class Float final : public virtual Object {
    VM_DECLARE_ABSTRACT_CLASS(Float, Object)  // static operations only; never instantiated

public:
    // Constants from program start (the bit patterns the platform layer's
    // HAL_getFloatConstants gives): no class initialisation needed.
    static constexpr jfloat MAX_VALUE = std::bit_cast<jfloat>(0x7F7FFFFF);
    static constexpr jfloat MIN_VALUE = std::bit_cast<jfloat>(0x00000001);
    static constexpr jfloat NaN = std::bit_cast<jfloat>(0x7FC00000);
    static constexpr jfloat NEGATIVE_INFINITY = std::bit_cast<jfloat>(0xFF800000u);
    static constexpr jfloat POSITIVE_INFINITY = std::bit_cast<jfloat>(0x7F800000);

    // The value widened to double, then Double.toString.
    static VMPtr<String> toString(jfloat f);
    // The float whose IEEE 754 pattern is bits, taken unchanged (a NaN keeps
    // its bits).
    static jfloat intBitsToFloat(jint bits);
};

}  // namespace java::lang
