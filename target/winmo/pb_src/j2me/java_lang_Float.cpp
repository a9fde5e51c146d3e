// java.lang.Float: text and bit-pattern conversions and the limits of the 32-bit floating-point type.
#include "java_lang_Float.h"

#include <cstring>

#include "java_lang_Double.h"
#include "java_lang_String.h"

namespace java::lang {

VMPtr<String> Float::toString(jfloat f) { return Double::toString(jdouble(f)); }

jfloat Float::intBitsToFloat(jint bits) {
    jfloat value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Float, .name = "java.lang.Float")
