// generated.entity.MansionBGItem
#include "generated_entity_MansionBGItem.h"

VM_REGISTER_CLASS(generated::entity::MansionBGItem, .name = "generated.entity.MansionBGItem", .isInterface = true,
                  .isAbstract = true)
