// ts.Resources$Type$Video: the type codes of videos (14 "3gp" to 22 "mov").
#pragma once

#include "VMClass.h"

namespace ts {

class Resources_TSC_Type_TSC_Video : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Resources_TSC_Type_TSC_Video)
};

}  // namespace ts
