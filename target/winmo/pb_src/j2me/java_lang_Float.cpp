// java.lang.Float
#include "java_lang_Float.h"

#include <cstring>

#include "hal_number.h"
#include "java_lang_Double.h"
#include "java_lang_String.h"

namespace java::lang {

jfloat Float::MAX_VALUE = 0;
jfloat Float::MIN_VALUE = 0;
jfloat Float::NaN = 0;
jfloat Float::NEGATIVE_INFINITY = 0;
jfloat Float::POSITIVE_INFINITY = 0;

void Float::_VM_clinit() { HAL_getFloatConstants(&MAX_VALUE, &MIN_VALUE, &NaN, &NEGATIVE_INFINITY, &POSITIVE_INFINITY); }

VMPtr<String> Float::toString(jfloat f) { return Double::toString(jdouble(f)); }

jfloat Float::intBitsToFloat(jint bits) {
    jfloat value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Float, .name = "java.lang.Float", .sourceName = "target/winmo/pb_src/j2me/java_lang_Float",
                  .staticInit = java::lang::Float::_VM_clinit)
