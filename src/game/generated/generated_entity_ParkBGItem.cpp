// generated.entity.ParkBGItem
#include "generated_entity_ParkBGItem.h"

VM_REGISTER_CLASS(generated::entity::ParkBGItem, .name = "generated.entity.ParkBGItem", .isInterface = true,
                  .isAbstract = true)
