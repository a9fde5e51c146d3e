// generated.LevelEntity
#include "generated_LevelEntity.h"

VM_REGISTER_CLASS(generated::LevelEntity, .name = "generated.LevelEntity", .isInterface = true, .isAbstract = true)
