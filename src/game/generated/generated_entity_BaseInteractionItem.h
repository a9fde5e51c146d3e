// generated.entity.BaseInteractionItem: level object type 5, the base interaction item. Constants
// only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class BaseInteractionItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(BaseInteractionItem)

public:
    static constexpr jint TYPE = 5;
};

}  // namespace generated::entity
