// java.lang.Long
#include "java_lang_Long.h"

#include "VMThrow.h"
#include "java_lang_Character.h"
#include "java_lang_Integer.h"
#include "java_lang_NumberFormatException.h"
#include "java_lang_String.h"

namespace {

using java::lang::String;

[[noreturn]] void throwFormat(const VMPtr<String>& message) {
    _VM_throw(java::lang::NumberFormatException::create()->construct(message));
}

}  // namespace

namespace java::lang {

VMPtr<Long> Long::construct(jlong v) {
    Object::construct();
    value = v;
    return this;
}

jint Long::hashCode() { return jint(uint32_t(uint64_t(value)) ^ uint32_t(uint64_t(value) >> 32)); }

jboolean Long::equals(VMPtr<Object> obj) {
    auto* other = dynamic_cast<Long*>(obj.target);
    return other != nullptr && other->value == value;
}

VMPtr<String> Long::toString() { return String::valueOf(value); }

VMPtr<String> Long::toString(jlong i, jint radix) {
    if (radix < Character::MIN_RADIX || radix > Character::MAX_RADIX) radix = 10;
    // Works on the negative magnitude, so the most negative value needs no
    // special case.
    jchar buffer[65];
    jint position = 65;
    const bool negative = i < 0;
    if (!negative) i = -i;
    while (i <= -radix) {
        buffer[--position] = jchar(_VM_radixDigits[-(i % radix)]);
        i = i / radix;
    }
    buffer[--position] = jchar(_VM_radixDigits[-i]);
    if (negative) buffer[--position] = u'-';
    return String::create()->_VM_initLength(buffer + position, 65 - position);
}

VMPtr<String> Long::toString(jlong i) { return toString(i, 10); }

jlong Long::parseLong(VMPtr<String> s, jint radix) {
    if (s == nullptr) _VM_throwNullPointer();
    if (s->count == 0) throwFormat(VM_STR("empty String"));
    if (radix < Character::MIN_RADIX) throwFormat(VM_STR("radix less than Character.MIN_RADIX"));
    if (radix > Character::MAX_RADIX) throwFormat(VM_STR("radix greater than Character.MAX_RADIX"));
    const jchar* chars = s->_VM_chars();
    const jint n = s->count;
    bool negative = false;
    jlong limit = -MAX_VALUE;
    jint i = 0;
    if (chars[0] == u'-') {
        negative = true;
        limit = MIN_VALUE;
        i = 1;
    }
    const jlong multmin = limit / radix;
    jlong result = 0;
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

jlong Long::parseLong(VMPtr<String> s) { return parseLong(s, 10); }

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Long, .name = "java.lang.Long", .sourceName = "target/winmo/pb_src/j2me/java_lang_Long")
