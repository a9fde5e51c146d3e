// generated.entity.MansionBGItem: level object type 15, the mansion background item. Constants
// only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class MansionBGItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(MansionBGItem)

public:
    static constexpr jint TYPE = 15;
};

}  // namespace generated::entity
