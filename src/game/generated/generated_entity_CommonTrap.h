// generated.entity.CommonTrap: level object type 8, the trap. Constants only, used as literal
// numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class CommonTrap : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(CommonTrap)

public:
    static constexpr jint TYPE = 8;
};

}  // namespace generated::entity
