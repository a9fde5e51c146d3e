// generated.LevelEntity
#include "generated_LevelEntity.h"

VM_REGISTER_CLASS(generated::LevelEntity, .name = "generated.LevelEntity", .sourceName = "src/game/generated/generated_LevelEntity", .isInterface = true,
                  .isAbstract = true)
