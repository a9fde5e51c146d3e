// generated.entity.DisguisedChar: level object type 9, the disguised person. Constants only, used
// as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class DisguisedChar : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(DisguisedChar)

public:
    static constexpr jint TYPE = 9;
};

}  // namespace generated::entity
