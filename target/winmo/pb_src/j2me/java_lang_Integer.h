// java.lang.Integer: the boxed 32-bit integer and the int text conversions.
#pragma once

#include <cstdint>

#include "VMClass.h"

namespace java::lang {

class Integer final : public virtual Object {
    VM_DECLARE_CLASS(Integer, Object)

public:
    static constexpr jint MIN_VALUE = INT32_MIN;
    static constexpr jint MAX_VALUE = INT32_MAX;

    jint value = 0;

    VMPtr<Integer> construct(jint value);

    jint hashCode() override { return value; }
    jboolean equals(VMPtr<Object> obj) override;
    // equals on a bare object: runs no other code and allocates nothing.
    jboolean _VM_equals(Object* obj);
    VMPtr<String> toString() override;

    // Text of i in the radix (10 when the radix is outside 2 to 36): lower-case
    // digits, '-' before negative values.
    static VMPtr<String> toString(jint i, jint radix);
    static VMPtr<String> toString(jint i);
    // Lower-case hexadecimal of the 32-bit pattern, no leading zeros.
    static VMPtr<String> toHexString(jint i);
    // Digits of the unsigned value by groups of `shift` bits (1 to 5; any
    // other shift throws IllegalArgumentException).
    static VMPtr<String> toUnsignedString(jint i, jint shift);
    // Decimal (or radix) text to int; NumberFormatException for anything
    // else, NullPointerException for null. No sign but '-', no blanks.
    static jint parseInt(VMPtr<String> s, jint radix);
    static jint parseInt(VMPtr<String> s);
};

}  // namespace java::lang

// Shared by the integer classes: the digit characters of every radix.
extern const char _VM_radixDigits[37];

// The text of Integer.toString(i, radix) (radix 2 to 36) as ASCII, written
// backwards so that it ends just before `end`; returns where it starts. 33
// characters of room always suffice.
char* _VM_intToAscii(jint i, jint radix, char* end);

// A new string of the n ASCII characters: its array is made at its length
// and filled once.
VMPtr<java::lang::String> _VM_stringFromAscii(const char* chars, jint n);
