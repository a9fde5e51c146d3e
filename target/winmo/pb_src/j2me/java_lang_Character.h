// java.lang.Character: Latin-1 classification, case mapping and digit values.
#pragma once

#include "VMClass.h"

namespace java::lang {

class Character final : public virtual Object {
    VM_DECLARE_ABSTRACT_CLASS(Character, Object)  // static operations only; never instantiated

public:
    static constexpr jshort MIN_RADIX = 2;
    static constexpr jshort MAX_RADIX = 36;

    // 'a'-'z', 0xDF-0xF6 and 0xF8-0xFF.
    static jboolean isLowerCase(jchar ch);
    // 'A'-'Z', 0xC0-0xD6 and 0xD8-0xDE.
    static jboolean isUpperCase(jchar ch);
    // '0'-'9' only.
    static jboolean isDigit(jchar ch);
    // Latin-1 case mapping; every other character is unchanged (0xDF and
    // 0xFF have no upper-case form here).
    static jchar toLowerCase(jchar ch);
    static jchar toUpperCase(jchar ch);
    // The value of ch as a digit in the radix, or -1 (also for a radix
    // outside 2 to 36). Digits are '0'-'9' and the ASCII letters.
    static jint digit(jchar ch, jint radix);
};

}  // namespace java::lang
