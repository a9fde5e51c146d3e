// generated.entity.HotelInteractionItem: level object type 13, the hotel interaction item.
// Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class HotelInteractionItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(HotelInteractionItem)

public:
    static constexpr jint TYPE = 13;
};

}  // namespace generated::entity
