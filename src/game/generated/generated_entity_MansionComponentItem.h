// generated.entity.MansionComponentItem: level object type 16, the mansion transport. Constants
// only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class MansionComponentItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(MansionComponentItem)

public:
    static constexpr jint TYPE = 16;
};

}  // namespace generated::entity
