// generated.entity.AirportInteractionItem: level object type 2, the airport interaction item.
// Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class AirportInteractionItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(AirportInteractionItem)

public:
    static constexpr jint TYPE = 2;
};

}  // namespace generated::entity
