// generated.entity.HotelBGItem
#include "generated_entity_HotelBGItem.h"

VM_REGISTER_CLASS(generated::entity::HotelBGItem, .name = "generated.entity.HotelBGItem", .isInterface = true,
                  .isAbstract = true)
