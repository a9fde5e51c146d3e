// java.lang.Double: text conversion, bit patterns and the limit constants of
// the 64-bit floating-point type.
#pragma once

#include "VMClass.h"

namespace java::lang {

class Double final : public virtual Object {
    VM_DECLARE_ABSTRACT_CLASS(Double)  // static operations only; never instantiated

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
    // Decimal text (blanks around it ignored, optional sign, digits with an
    // optional point and exponent, an optional f/F/d/D suffix, or NaN and
    // Infinity) to the nearest double; NumberFormatException otherwise.
    static jdouble parseDouble(VMPtr<String> s);
    // The bit pattern (every NaN as 0x7FF8000000000000) and back.
    static jlong doubleToLongBits(jdouble value);
    static jlong doubleToRawLongBits(jdouble value);
    static jdouble longBitsToDouble(jlong bits);
};

}  // namespace java::lang

// Parses floating-point text as Double.parseDouble describes, rounding to
// float when `single` is set (then the result is exactly a float value).
// NullPointerException for null, NumberFormatException ("empty String" for a
// blank text, else the text itself) for anything malformed.
jdouble _VM_parseFloatingText(const VMPtr<java::lang::String>& s, bool single);
