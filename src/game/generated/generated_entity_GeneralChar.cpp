// generated.entity.GeneralChar
#include "generated_entity_GeneralChar.h"

VM_REGISTER_CLASS(generated::entity::GeneralChar, .name = "generated.entity.GeneralChar", .sourceName = "src/game/generated/generated_entity_GeneralChar", .isInterface = true,
                  .isAbstract = true)
