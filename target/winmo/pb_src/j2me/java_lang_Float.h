// java.lang.Float: text conversion, the bit-pattern conversion and the limit
// constants of the 32-bit floating-point type.
#pragma once

#include "VMClass.h"

namespace java::lang {

class Float final : public virtual Object {
    VM_DECLARE_ABSTRACT_CLASS(Float, Object)  // static operations only; never instantiated

public:
    // Set by the static initialiser from the platform layer.
    static jfloat MAX_VALUE;
    static jfloat MIN_VALUE;
    static jfloat NaN;
    static jfloat NEGATIVE_INFINITY;
    static jfloat POSITIVE_INFINITY;
    static void _VM_clinit();

    // The value widened to double, then Double.toString.
    static VMPtr<String> toString(jfloat f);
    // The float whose IEEE 754 pattern is bits, taken unchanged (a NaN keeps
    // its bits).
    static jfloat intBitsToFloat(jint bits);
};

}  // namespace java::lang
