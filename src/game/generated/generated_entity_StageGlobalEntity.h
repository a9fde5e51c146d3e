// generated.entity.StageGlobalEntity: level object type 22, the level-wide entity (no record).
// Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class StageGlobalEntity : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(StageGlobalEntity)

public:
    static constexpr jint TYPE = 22;
};

}  // namespace generated::entity
