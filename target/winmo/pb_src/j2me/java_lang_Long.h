// java.lang.Long: the boxed 64-bit integer and the long text conversions.
#pragma once

#include <cstdint>

#include "VMClass.h"

namespace java::lang {

class Long final : public virtual Object {
    VM_DECLARE_CLASS(Long)

public:
    static constexpr jlong MIN_VALUE = INT64_MIN;
    static constexpr jlong MAX_VALUE = INT64_MAX;

    jlong value = 0;

    VMPtr<Long> construct(jlong value);
    jlong longValue() const { return value; }

    // The low word XOR the high word.
    jint hashCode() override;
    jboolean equals(VMPtr<Object> obj) override;
    VMPtr<String> toString() override;

    // Text of i in the radix (10 when the radix is outside 2 to 36).
    static VMPtr<String> toString(jlong i, jint radix);
    static VMPtr<String> toString(jlong i);
    // As Integer.parseInt, over 64-bit values.
    static jlong parseLong(VMPtr<String> s, jint radix);
    static jlong parseLong(VMPtr<String> s);
};

}  // namespace java::lang
