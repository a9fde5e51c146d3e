// generated.entity.AirportBGItem: level object type 0, the airport background item. Constants
// only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class AirportBGItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(AirportBGItem)

public:
    static constexpr jint TYPE = 0;
};

}  // namespace generated::entity
