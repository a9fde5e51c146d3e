// java.lang.Double: text conversion and the limit constants of the 64-bit
// floating-point type.
#pragma once

#include "VMClass.h"

namespace java::lang {

class Double final : public virtual Object {
    VM_DECLARE_ABSTRACT_CLASS(Double, Object)  // static operations only; never instantiated

public:
    // Set by the static initialiser from the platform layer.
    static jdouble MAX_VALUE;
    static jdouble MIN_VALUE;
    static jdouble NaN;
    static jdouble NEGATIVE_INFINITY;
    static jdouble POSITIVE_INFINITY;
    static void _VM_clinit();

    // The C library's "%G" text of d (up to six significant digits).
    static VMPtr<String> toString(jdouble d);
};

}  // namespace java::lang
