// generated.entity.ParkComponentItem
#include "generated_entity_ParkComponentItem.h"

VM_REGISTER_CLASS(generated::entity::ParkComponentItem, .name = "generated.entity.ParkComponentItem",
                  .isInterface = true, .isAbstract = true)
