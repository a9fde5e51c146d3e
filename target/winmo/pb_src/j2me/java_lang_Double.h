// java.lang.Double: text conversion and the limit constants of the 64-bit
// floating-point type.
#pragma once

#include <bit>

#include "VMClass.h"

namespace java::lang {

class Double final : public virtual Object {
    VM_DECLARE_ABSTRACT_CLASS(Double, Object)  // static operations only; never instantiated

public:
    // Constants from program start (the bit patterns the platform layer's
    // HAL_getDoubleConstants gives): no class initialisation needed.
    static constexpr jdouble MAX_VALUE = std::bit_cast<jdouble>(0x7FEFFFFFFFFFFFFFull);
    static constexpr jdouble MIN_VALUE = std::bit_cast<jdouble>(0x0000000000000001ull);
    static constexpr jdouble NaN = std::bit_cast<jdouble>(0x7FF8000000000000ull);
    static constexpr jdouble NEGATIVE_INFINITY = std::bit_cast<jdouble>(0xFFF0000000000000ull);
    static constexpr jdouble POSITIVE_INFINITY = std::bit_cast<jdouble>(0x7FF0000000000000ull);

    // The C library's "%G" text of d (up to six significant digits).
    static VMPtr<String> toString(jdouble d);
};

}  // namespace java::lang
