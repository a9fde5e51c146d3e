// generated.entity.HotelBGItem: level object type 11, the hotel background item.
#include "generated_entity_HotelBGItem.h"

VM_REGISTER_CLASS(generated::entity::HotelBGItem, .name = "generated.entity.HotelBGItem", .isInterface = true,
                  .isAbstract = true)
