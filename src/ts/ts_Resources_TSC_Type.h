// ts.Resources$Type: groups the resource type codes (the signed type byte of every resource of a pack; see ChunkVirtualFileSystemOrganization for their extensions). Constants only, used as literal numbers.
#pragma once

#include "VMClass.h"

namespace ts {

class Resources_TSC_Type : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Resources_TSC_Type)
};

}  // namespace ts
