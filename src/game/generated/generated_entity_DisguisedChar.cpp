// generated.entity.DisguisedChar
#include "generated_entity_DisguisedChar.h"

VM_REGISTER_CLASS(generated::entity::DisguisedChar, .name = "generated.entity.DisguisedChar", .sourceName = "src/game/generated/generated_entity_DisguisedChar", .isInterface = true,
                  .isAbstract = true)
