// java.lang.Double
#include "java_lang_Double.h"

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "VMThrow.h"
#include "hal_number.h"
#include "java_lang_NumberFormatException.h"
#include "java_lang_String.h"

namespace {

using java::lang::String;

bool isDigit(jchar c) { return c >= u'0' && c <= u'9'; }

// True when chars[i, end) spells word exactly.
bool spells(const jchar* chars, jint i, jint end, const char* word) {
    const jint n = jint(std::strlen(word));
    if (end - i != n) return false;
    for (jint k = 0; k < n; ++k)
        if (chars[i + k] != jchar(word[k])) return false;
    return true;
}

// The C locale, so that the decimal point is always '.'.
locale_t cLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return locale;
}

[[noreturn]] void throwFormat(const VMPtr<String>& message) {
    _VM_throw(java::lang::NumberFormatException::create()->construct(message));
}

}  // namespace

jdouble _VM_parseFloatingText(const VMPtr<String>& s, bool single) {
    if (s == nullptr) _VM_throwNullPointer();
    const jchar* chars = s->_VM_chars();
    jint begin = 0;
    jint end = s->count;
    while (begin < end && chars[begin] <= u' ') ++begin;
    while (begin < end && chars[end - 1] <= u' ') --end;
    if (begin == end) throwFormat(VM_STR("empty String"));

    jint i = begin;
    bool negative = false;
    if (chars[i] == u'-' || chars[i] == u'+') {
        negative = chars[i] == u'-';
        ++i;
    }
    if (spells(chars, i, end, "NaN")) return std::numeric_limits<jdouble>::quiet_NaN();
    if (spells(chars, i, end, "Infinity"))
        return negative ? -std::numeric_limits<jdouble>::infinity() : std::numeric_limits<jdouble>::infinity();

    // Only plain ASCII reaches the C library, in the one shape checked here.
    std::string text;
    bool digits = false;
    while (i < end && isDigit(chars[i])) {
        text += char(chars[i++]);
        digits = true;
    }
    if (i < end && chars[i] == u'.') {
        text += '.';
        ++i;
        while (i < end && isDigit(chars[i])) {
            text += char(chars[i++]);
            digits = true;
        }
    }
    if (!digits) throwFormat(s);
    if (i < end && (chars[i] == u'e' || chars[i] == u'E')) {
        text += 'e';
        ++i;
        if (i < end && (chars[i] == u'-' || chars[i] == u'+')) text += char(chars[i++]);
        bool exponentDigits = false;
        while (i < end && isDigit(chars[i])) {
            text += char(chars[i++]);
            exponentDigits = true;
        }
        if (!exponentDigits) throwFormat(s);
    }
    if (i < end && (chars[i] == u'f' || chars[i] == u'F' || chars[i] == u'd' || chars[i] == u'D')) ++i;
    if (i != end) throwFormat(s);

    // Out-of-range text gives infinity or zero, as it should.
    jdouble result;
    if (locale_t locale = cLocale())
        result = single ? jdouble(strtof_l(text.c_str(), nullptr, locale)) : strtod_l(text.c_str(), nullptr, locale);
    else
        result = single ? jdouble(std::strtof(text.c_str(), nullptr)) : std::strtod(text.c_str(), nullptr);
    return negative ? -result : result;
}

namespace java::lang {

jdouble Double::MAX_VALUE = 0;
jdouble Double::MIN_VALUE = 0;
jdouble Double::NaN = 0;
jdouble Double::NEGATIVE_INFINITY = 0;
jdouble Double::POSITIVE_INFINITY = 0;

void Double::_VM_clinit() { HAL_getDoubleConstants(&MAX_VALUE, &MIN_VALUE, &NaN, &NEGATIVE_INFINITY, &POSITIVE_INFINITY); }

VMPtr<String> Double::toString(jdouble d) {
    char text[32];
    std::snprintf(text, sizeof text, "%G", d);
    return String::_VM_fromUTF8(text);
}

jdouble Double::parseDouble(VMPtr<String> s) { return _VM_parseFloatingText(s, false); }

jlong Double::doubleToLongBits(jdouble value) {
    if (std::isnan(value)) return jlong(0x7FF8000000000000ull);
    return doubleToRawLongBits(value);
}

jlong Double::doubleToRawLongBits(jdouble value) {
    jlong bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

jdouble Double::longBitsToDouble(jlong bits) {
    jdouble value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Double, .name = "java.lang.Double", .sourceName = "target/winmo/pb_src/j2me/java_lang_Double",
                  .staticInit = java::lang::Double::_VM_clinit)
