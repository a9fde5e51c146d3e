// generated.entity.AirportInteractionItem
#include "generated_entity_AirportInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::AirportInteractionItem, .name = "generated.entity.AirportInteractionItem",
                  .isInterface = true, .isAbstract = true)
