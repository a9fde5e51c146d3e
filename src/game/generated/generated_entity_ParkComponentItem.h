// generated.entity.ParkComponentItem: level object type 19, the park transport. Constants only,
// used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class ParkComponentItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(ParkComponentItem)

public:
    static constexpr jint TYPE = 19;
};

}  // namespace generated::entity
