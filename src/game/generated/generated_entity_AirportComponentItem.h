// generated.entity.AirportComponentItem: level object type 1, the airport transport (stairs,
// elevator, passage). Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class AirportComponentItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(AirportComponentItem)

public:
    static constexpr jint TYPE = 1;
};

}  // namespace generated::entity
