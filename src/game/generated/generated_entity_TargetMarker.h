// generated.entity.TargetMarker: level object type 23, the target. Constants only, used as
// literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class TargetMarker : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(TargetMarker)

public:
    static constexpr jint TYPE = 23;
};

}  // namespace generated::entity
