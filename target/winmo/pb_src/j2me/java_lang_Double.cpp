// java.lang.Double: text conversion and the limit constants of the 64-bit floating-point type.
#include "java_lang_Double.h"

#include <cstdio>

#include "java_lang_String.h"

namespace java::lang {

VMPtr<String> Double::toString(jdouble d) {
    char text[32];
    std::snprintf(text, sizeof text, "%G", d);
    return String::_VM_fromUTF8(text);
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Double, .name = "java.lang.Double")
