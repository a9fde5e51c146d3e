// generated.entity.KeyItem: level object type 14, the key item. Constants only, used as literal
// numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class KeyItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(KeyItem)

public:
    static constexpr jint TYPE = 14;
};

}  // namespace generated::entity
