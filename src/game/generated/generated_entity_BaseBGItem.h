// generated.entity.BaseBGItem: level object type 3, the base background item. Constants only,
// used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class BaseBGItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(BaseBGItem)

public:
    static constexpr jint TYPE = 3;
};

}  // namespace generated::entity
