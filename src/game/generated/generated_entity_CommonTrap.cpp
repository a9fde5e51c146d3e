// generated.entity.CommonTrap: level object type 8, the trap.
#include "generated_entity_CommonTrap.h"

VM_REGISTER_CLASS(generated::entity::CommonTrap, .name = "generated.entity.CommonTrap", .isInterface = true,
                  .isAbstract = true)
