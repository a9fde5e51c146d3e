// generated.LevelEntity: the object types of the level stream, 0 to 24.
#include "generated_LevelEntity.h"

VM_REGISTER_CLASS(generated::LevelEntity, .name = "generated.LevelEntity", .isInterface = true, .isAbstract = true)
