// ts.Resources$Type$Tarsel: the type codes of the framework's own formats (-1 and -12 "rp", -6 "utf", -7 "txt", 23 "wbxml").
#pragma once

#include "VMClass.h"

namespace ts {

class Resources_TSC_Type_TSC_Tarsel : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Resources_TSC_Type_TSC_Tarsel)
};

}  // namespace ts
