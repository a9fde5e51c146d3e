// generated.entity.ParkComponentItem: level object type 19, the park transport.
#include "generated_entity_ParkComponentItem.h"

VM_REGISTER_CLASS(generated::entity::ParkComponentItem, .name = "generated.entity.ParkComponentItem",
                  .isInterface = true, .isAbstract = true)
