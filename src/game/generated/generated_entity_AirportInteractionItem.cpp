// generated.entity.AirportInteractionItem
#include "generated_entity_AirportInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::AirportInteractionItem, .name = "generated.entity.AirportInteractionItem", .sourceName = "src/game/generated/generated_entity_AirportInteractionItem", .isInterface = true,
                  .isAbstract = true)
