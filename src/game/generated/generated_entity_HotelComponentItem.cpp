// generated.entity.HotelComponentItem: level object type 12, the hotel transport.
#include "generated_entity_HotelComponentItem.h"

VM_REGISTER_CLASS(generated::entity::HotelComponentItem, .name = "generated.entity.HotelComponentItem",
                  .isInterface = true, .isAbstract = true)
