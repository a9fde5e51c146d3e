// generated.entity.MansionInteractionItem: level object type 17, the mansion interaction item.
// Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class MansionInteractionItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(MansionInteractionItem)

public:
    static constexpr jint TYPE = 17;
};

}  // namespace generated::entity
