// generated.entity.BaseComponentItem
#include "generated_entity_BaseComponentItem.h"

VM_REGISTER_CLASS(generated::entity::BaseComponentItem, .name = "generated.entity.BaseComponentItem", .sourceName = "src/game/generated/generated_entity_BaseComponentItem", .isInterface = true,
                  .isAbstract = true)
