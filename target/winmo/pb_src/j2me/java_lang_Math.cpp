// java.lang.Math: static number operations (the int minimum is the one the system uses).
#include "java_lang_Math.h"

VM_REGISTER_CLASS(java::lang::Math, .name = "java.lang.Math")
