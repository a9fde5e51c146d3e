// java.lang.Double
#include "java_lang_Double.h"

#include <cstdio>

#include "hal_number.h"
#include "java_lang_String.h"

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

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Double, .name = "java.lang.Double", .sourceName = "target/winmo/pb_src/j2me/java_lang_Double",
                  .staticInit = java::lang::Double::_VM_clinit)
