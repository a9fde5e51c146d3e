// java.lang.Integer: the boxed 32-bit integer and the int text conversions.
#include "java_lang_Integer.h"

#include "VMThrow.h"
#include "java_lang_Character.h"
#include "java_lang_NumberFormatException.h"
#include "java_lang_String.h"

const char _VM_radixDigits[37] = "0123456789abcdefghijklmnopqrstuvwxyz";

namespace {

using java::lang::String;

[[noreturn]] void throwFormat(const VMPtr<String>& message) {
    _VM_throw(java::lang::NumberFormatException::create()->construct(message));
}

}  // namespace

namespace {

// "00" to "99": decimal text takes two digits per division.
constexpr char kDigitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* decimalToAscii(jint i, char* end) {
    char* position = end;
    // The magnitude as unsigned, so the most negative value needs no special
    // case; a constant divisor becomes a multiplication.
    uint32_t m = i < 0 ? 0u - uint32_t(i) : uint32_t(i);
    while (m >= 100) {
        const uint32_t pair = (m % 100) * 2;
        m /= 100;
        *--position = kDigitPairs[pair + 1];
        *--position = kDigitPairs[pair];
    }
    if (m >= 10) {
        *--position = kDigitPairs[m * 2 + 1];
        *--position = kDigitPairs[m * 2];
    } else {
        *--position = char('0' + m);
    }
    if (i < 0) *--position = '-';
    return position;
}

}  // namespace

char* _VM_intToAscii(jint i, jint radix, char* end) {
    if (radix == 10) return decimalToAscii(i, end);
    // Works on the negative magnitude, so the most negative value needs no
    // special case.
    char* position = end;
    const bool negative = i < 0;
    if (!negative) i = -i;
    while (i <= -radix) {
        *--position = _VM_radixDigits[-(i % radix)];
        i = i / radix;
    }
    *--position = _VM_radixDigits[-i];
    if (negative) *--position = '-';
    return position;
}

VMPtr<String> _VM_stringFromAscii(const char* chars, jint n) {
    VMPtr<VMArray<jchar, 1>> value = VMArray<jchar, 1>::create(n);
    jchar* wide = value->elements();
    for (jint i = 0; i < n; ++i) wide[i] = jchar(uint8_t(chars[i]));
    return String::create()->construct(0, n, value);
}

namespace java::lang {

VMPtr<Integer> Integer::construct(jint v) {
    Super::construct();
    value = v;
    return this;
}

jboolean Integer::equals(VMPtr<Object> obj) { return _VM_equals(obj.target); }

jboolean Integer::_VM_equals(Object* obj) {
    auto* other = _VM_asFinal<Integer>(obj);
    return other != nullptr && other->value == value;
}

VMPtr<String> Integer::toString() { return toString(value); }

VMPtr<String> Integer::toString(jint i, jint radix) {
    if (radix < Character::MIN_RADIX || radix > Character::MAX_RADIX) radix = 10;
    char buffer[33];
    const char* start = _VM_intToAscii(i, radix, buffer + 33);
    return _VM_stringFromAscii(start, jint(buffer + 33 - start));
}

VMPtr<String> Integer::toString(jint i) { return toString(i, 10); }

VMPtr<String> Integer::toHexString(jint i) { return toUnsignedString(i, 4); }

VMPtr<String> Integer::toUnsignedString(jint i, jint shift) {
    if (shift < 1 || shift > 5) _VM_throwIllegalArgumentException();
    char buffer[32];
    jint position = 32;
    uint32_t bits = uint32_t(i);
    const uint32_t mask = (1u << shift) - 1;
    do {
        buffer[--position] = _VM_radixDigits[bits & mask];
        bits >>= shift;
    } while (bits != 0);
    return _VM_stringFromAscii(buffer + position, 32 - position);
}

jint Integer::parseInt(VMPtr<String> s, jint radix) {
    if (s == nullptr) _VM_throwNullPointer();
    if (s->count == 0) throwFormat(VM_STR("empty String"));
    if (radix < Character::MIN_RADIX) throwFormat(VM_STR("radix less than Character.MIN_RADIX"));
    if (radix > Character::MAX_RADIX) throwFormat(VM_STR("radix greater than Character.MAX_RADIX"));
    const jchar* chars = s->_VM_chars();
    const jint n = s->count;
    bool negative = false;
    jint limit = -MAX_VALUE;
    jint i = 0;
    if (chars[0] == u'-') {
        negative = true;
        limit = MIN_VALUE;
        i = 1;
    }
    const jint multmin = limit / radix;
    // Accumulates negatively so that MIN_VALUE fits.
    jint result = 0;
    if (i < n) {
        jint d = Character::digit(chars[i++], radix);
        if (d < 0) throwFormat(s);
        result = -d;
    }
    while (i < n) {
        jint d = Character::digit(chars[i++], radix);
        if (d < 0 || result < multmin) throwFormat(s);
        result *= radix;
        if (result < limit + d) throwFormat(s);
        result -= d;
    }
    if (negative) {
        if (n == 1) throwFormat(s);  // a lone minus sign
        return result;
    }
    return -result;
}

jint Integer::parseInt(VMPtr<String> s) { return parseInt(s, 10); }

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Integer, .name = "java.lang.Integer")
