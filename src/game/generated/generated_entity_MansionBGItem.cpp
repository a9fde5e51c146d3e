// generated.entity.MansionBGItem: level object type 15, the mansion background item.
#include "generated_entity_MansionBGItem.h"

VM_REGISTER_CLASS(generated::entity::MansionBGItem, .name = "generated.entity.MansionBGItem", .isInterface = true,
                  .isAbstract = true)
