// generated.entity.KeyItem: level object type 14, the key item.
#include "generated_entity_KeyItem.h"

VM_REGISTER_CLASS(generated::entity::KeyItem, .name = "generated.entity.KeyItem", .isInterface = true,
                  .isAbstract = true)
