// java.lang.Math
#include "java_lang_Math.h"

VM_REGISTER_CLASS(java::lang::Math, .name = "java.lang.Math")
