// generated.entity.HotelInteractionItem
#include "generated_entity_HotelInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::HotelInteractionItem, .name = "generated.entity.HotelInteractionItem",
                  .isInterface = true, .isAbstract = true)
