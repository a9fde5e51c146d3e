// generated.entity.HotelBGItem
#include "generated_entity_HotelBGItem.h"

VM_REGISTER_CLASS(generated::entity::HotelBGItem, .name = "generated.entity.HotelBGItem", .sourceName = "src/game/generated/generated_entity_HotelBGItem", .isInterface = true,
                  .isAbstract = true)
