// generated.entity.GeneralChar: level object type 10, the ordinary person.
#include "generated_entity_GeneralChar.h"

VM_REGISTER_CLASS(generated::entity::GeneralChar, .name = "generated.entity.GeneralChar", .isInterface = true,
                  .isAbstract = true)
