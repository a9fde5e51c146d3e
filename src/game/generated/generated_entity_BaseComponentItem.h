// generated.entity.BaseComponentItem: level object type 4, the base transport. Constants only,
// used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class BaseComponentItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(BaseComponentItem)

public:
    static constexpr jint TYPE = 4;
};

}  // namespace generated::entity
