// generated.entity.GeneralChar: level object type 10, the ordinary person. Constants only, used
// as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class GeneralChar : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(GeneralChar)

public:
    static constexpr jint TYPE = 10;
};

}  // namespace generated::entity
