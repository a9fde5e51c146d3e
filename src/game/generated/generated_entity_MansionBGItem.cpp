// generated.entity.MansionBGItem
#include "generated_entity_MansionBGItem.h"

VM_REGISTER_CLASS(generated::entity::MansionBGItem, .name = "generated.entity.MansionBGItem", .sourceName = "src/game/generated/generated_entity_MansionBGItem", .isInterface = true,
                  .isAbstract = true)
