// generated.entity.TransportPart: level object type 24, the point of a transport's path.
// Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class TransportPart : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(TransportPart)

public:
    static constexpr jint TYPE = 24;
};

}  // namespace generated::entity
