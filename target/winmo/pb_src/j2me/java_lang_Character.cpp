// java.lang.Character: Latin-1 classification, case mapping and digit values.
#include "java_lang_Character.h"

namespace java::lang {

jboolean Character::isLowerCase(jchar ch) {
    return (ch >= u'a' && ch <= u'z') || (ch >= 0xDF && ch <= 0xF6) || (ch >= 0xF8 && ch <= 0xFF);
}

jboolean Character::isUpperCase(jchar ch) {
    return (ch >= u'A' && ch <= u'Z') || (ch >= 0xC0 && ch <= 0xD6) || (ch >= 0xD8 && ch <= 0xDE);
}

jboolean Character::isDigit(jchar ch) { return ch >= u'0' && ch <= u'9'; }

jchar Character::toLowerCase(jchar ch) {
    if ((ch >= u'A' && ch <= u'Z') || (ch >= 0xC0 && ch <= 0xD6) || (ch >= 0xD8 && ch <= 0xDE)) return jchar(ch + 32);
    return ch;
}

jchar Character::toUpperCase(jchar ch) {
    if ((ch >= u'a' && ch <= u'z') || (ch >= 0xE0 && ch <= 0xF6) || (ch >= 0xF8 && ch <= 0xFE)) return jchar(ch - 32);
    return ch;
}

jint Character::digit(jchar ch, jint radix) {
    if (radix < MIN_RADIX || radix > MAX_RADIX) return -1;
    jint value;
    if (ch >= u'0' && ch <= u'9')
        value = ch - u'0';
    else if ((ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z'))
        value = (ch & 0x1F) + 9;  // 'a' and 'A' are 10
    else
        return -1;
    return value < radix ? value : -1;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Character, .name = "java.lang.Character")
