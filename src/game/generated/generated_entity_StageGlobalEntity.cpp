// generated.entity.StageGlobalEntity: level object type 22, the level-wide entity (no record).
#include "generated_entity_StageGlobalEntity.h"

VM_REGISTER_CLASS(generated::entity::StageGlobalEntity, .name = "generated.entity.StageGlobalEntity",
                  .isInterface = true, .isAbstract = true)
