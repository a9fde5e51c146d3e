// generated.entity.BaseInteractionItem: level object type 5, the base interaction item.
#include "generated_entity_BaseInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::BaseInteractionItem, .name = "generated.entity.BaseInteractionItem",
                  .isInterface = true, .isAbstract = true)
