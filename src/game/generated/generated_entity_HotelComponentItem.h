// generated.entity.HotelComponentItem: level object type 12, the hotel transport. Constants only,
// used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class HotelComponentItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(HotelComponentItem)

public:
    static constexpr jint TYPE = 12;
};

}  // namespace generated::entity
