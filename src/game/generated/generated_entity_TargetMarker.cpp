// generated.entity.TargetMarker: level object type 23, the target.
#include "generated_entity_TargetMarker.h"

VM_REGISTER_CLASS(generated::entity::TargetMarker, .name = "generated.entity.TargetMarker", .isInterface = true,
                  .isAbstract = true)
