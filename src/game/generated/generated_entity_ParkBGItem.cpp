// generated.entity.ParkBGItem
#include "generated_entity_ParkBGItem.h"

VM_REGISTER_CLASS(generated::entity::ParkBGItem, .name = "generated.entity.ParkBGItem", .sourceName = "src/game/generated/generated_entity_ParkBGItem", .isInterface = true,
                  .isAbstract = true)
