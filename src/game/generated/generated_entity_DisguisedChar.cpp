// generated.entity.DisguisedChar: level object type 9, the disguised person.
#include "generated_entity_DisguisedChar.h"

VM_REGISTER_CLASS(generated::entity::DisguisedChar, .name = "generated.entity.DisguisedChar", .isInterface = true,
                  .isAbstract = true)
