// generated.entity.HotelBGItem: level object type 11, the hotel background item. Constants only,
// used as literal numbers.
#pragma once

#include "VM.h"

namespace generated::entity {

class HotelBGItem : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(HotelBGItem)

public:
    static constexpr jint TYPE = 11;
};

}  // namespace generated::entity
