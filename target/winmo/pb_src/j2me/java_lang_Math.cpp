// java.lang.Math
#include "java_lang_Math.h"

VM_REGISTER_CLASS(java::lang::Math, .name = "java.lang.Math", .sourceName = "target/winmo/pb_src/j2me/java_lang_Math")
