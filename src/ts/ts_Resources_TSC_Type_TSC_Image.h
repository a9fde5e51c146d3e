// ts.Resources$Type$Image: the type codes of images (-3 "png", -4 "jpg", 24 "gif").
#pragma once

#include "VMClass.h"

namespace ts {

class Resources_TSC_Type_TSC_Image : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Resources_TSC_Type_TSC_Image)
};

}  // namespace ts
