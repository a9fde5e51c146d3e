// generated.entity.HotelInteractionItem: level object type 13, the hotel interaction item.
#include "generated_entity_HotelInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::HotelInteractionItem, .name = "generated.entity.HotelInteractionItem",
                  .isInterface = true, .isAbstract = true)
