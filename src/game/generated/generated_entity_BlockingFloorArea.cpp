// generated.entity.BlockingFloorArea: level object type 6, the wall of a depth row.
#include "generated_entity_BlockingFloorArea.h"

VM_REGISTER_CLASS(generated::entity::BlockingFloorArea, .name = "generated.entity.BlockingFloorArea",
                  .isInterface = true, .isAbstract = true)
