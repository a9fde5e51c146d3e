// generated.entity.ParkInteractionItem: level object type 20, the park interaction item.
#include "generated_entity_ParkInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::ParkInteractionItem, .name = "generated.entity.ParkInteractionItem",
                  .isInterface = true, .isAbstract = true)
