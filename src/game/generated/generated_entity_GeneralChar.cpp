// generated.entity.GeneralChar
#include "generated_entity_GeneralChar.h"

VM_REGISTER_CLASS(generated::entity::GeneralChar, .name = "generated.entity.GeneralChar", .isInterface = true,
                  .isAbstract = true)
