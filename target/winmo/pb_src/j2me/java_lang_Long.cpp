// java.lang.Long: the boxed 64-bit integer and the long text conversions.
#include "java_lang_Long.h"

#include "java_lang_Character.h"
#include "java_lang_Integer.h"
#include "java_lang_String.h"

namespace java::lang {

VMPtr<Long> Long::construct(jlong v) {
    Super::construct();
    value = v;
    return this;
}

jint Long::hashCode() { return jint(uint32_t(uint64_t(value)) ^ uint32_t(uint64_t(value) >> 32)); }

jboolean Long::equals(VMPtr<Object> obj) {
    auto* other = _VM_asFinal<Long>(obj.target);
    return other != nullptr && other->value == value;
}

VMPtr<String> Long::toString() { return String::valueOf(value); }

VMPtr<String> Long::toString(jlong i, jint radix) {
    if (radix < Character::MIN_RADIX || radix > Character::MAX_RADIX) radix = 10;
    // Works on the negative magnitude, so the most negative value needs no
    // special case.
    char buffer[65];
    jint position = 65;
    const bool negative = i < 0;
    if (!negative) i = -i;
    while (i <= -radix) {
        buffer[--position] = _VM_radixDigits[-(i % radix)];
        i = i / radix;
    }
    buffer[--position] = _VM_radixDigits[-i];
    if (negative) buffer[--position] = '-';
    return _VM_stringFromAscii(buffer + position, 65 - position);
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Long, .name = "java.lang.Long")
