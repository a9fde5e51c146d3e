// generated.entity.Player: level object type 21, the player's start. Constants only, used as
// literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class Player : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Player)

public:
    static constexpr jint TYPE = 21;
};

}  // namespace generated::entity
