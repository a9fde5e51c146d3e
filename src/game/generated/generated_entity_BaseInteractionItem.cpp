// generated.entity.BaseInteractionItem
#include "generated_entity_BaseInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::BaseInteractionItem, .name = "generated.entity.BaseInteractionItem",
                  .isInterface = true, .isAbstract = true)
