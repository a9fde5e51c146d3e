// generated.entity.BlockingFloorArea: level object type 6, the wall of a depth row. Constants
// only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class BlockingFloorArea : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(BlockingFloorArea)

public:
    static constexpr jint TYPE = 6;
};

}  // namespace generated::entity
