// generated.entity.BlockingFloorArea
#include "generated_entity_BlockingFloorArea.h"

VM_REGISTER_CLASS(generated::entity::BlockingFloorArea, .name = "generated.entity.BlockingFloorArea",
                  .isInterface = true, .isAbstract = true)
