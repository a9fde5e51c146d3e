// java.lang.Math: static number operations (the int minimum is the one the system uses).
#pragma once

#include "VMClass.h"

namespace java::lang {

class Math final : public virtual Object {
    VM_DECLARE_ABSTRACT_CLASS(Math, Object)  // static operations only; never instantiated

public:
    static jint min(jint a, jint b) { return a <= b ? a : b; }
};

}  // namespace java::lang
