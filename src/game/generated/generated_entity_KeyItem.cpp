// generated.entity.KeyItem
#include "generated_entity_KeyItem.h"

VM_REGISTER_CLASS(generated::entity::KeyItem, .name = "generated.entity.KeyItem", .sourceName = "src/game/generated/generated_entity_KeyItem", .isInterface = true,
                  .isAbstract = true)
