// generated.entity.ParkBGItem: level object type 18, the park background item. Constants only,
// used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class ParkBGItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(ParkBGItem)

public:
    static constexpr jint TYPE = 18;
};

}  // namespace generated::entity
