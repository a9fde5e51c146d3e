// generated.entity.ParkInteractionItem: level object type 20, the park interaction item.
// Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class ParkInteractionItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(ParkInteractionItem)

public:
    static constexpr jint TYPE = 20;
};

}  // namespace generated::entity
