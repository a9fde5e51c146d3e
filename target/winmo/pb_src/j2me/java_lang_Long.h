// java.lang.Long: the boxed 64-bit integer and the long text conversions.
#pragma once

#include "VMClass.h"

namespace java::lang {

class Long final : public virtual Object {
    VM_DECLARE_CLASS(Long, Object)

public:
    jlong value = 0;

    VMPtr<Long> construct(jlong value);

    // The low word XOR the high word.
    jint hashCode() override;
    jboolean equals(VMPtr<Object> obj) override;
    VMPtr<String> toString() override;

    // Text of i in the radix (10 when the radix is outside 2 to 36).
    static VMPtr<String> toString(jlong i, jint radix);
};

}  // namespace java::lang
