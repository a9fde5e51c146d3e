// generated.prop.PropShort: the 16-bit object fields of the level stream. Constants only, used as
// literal numbers.
#pragma once

#include "VM.h"

namespace generated::prop {

class PropShort : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(PropShort)

public:
    static constexpr jint BITS = 16;
};

}  // namespace generated::prop
