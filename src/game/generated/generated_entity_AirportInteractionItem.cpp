// generated.entity.AirportInteractionItem: level object type 2, the airport interaction item.
#include "generated_entity_AirportInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::AirportInteractionItem, .name = "generated.entity.AirportInteractionItem",
                  .isInterface = true, .isAbstract = true)
