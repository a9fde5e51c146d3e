// generated.entity.ParkBGItem: level object type 18, the park background item.
#include "generated_entity_ParkBGItem.h"

VM_REGISTER_CLASS(generated::entity::ParkBGItem, .name = "generated.entity.ParkBGItem", .isInterface = true,
                  .isAbstract = true)
