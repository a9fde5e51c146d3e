// ts.Resources$Type$Audio: the type codes of sounds (0 "mid" to 12 "adp", 25 "caf" to 28 "m4a").
#pragma once

#include "VMClass.h"

namespace ts {

class Resources_TSC_Type_TSC_Audio : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Resources_TSC_Type_TSC_Audio)
};

}  // namespace ts
