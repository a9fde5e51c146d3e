// generated.entity.BaseBGItem: level object type 3, the base background item.
#include "generated_entity_BaseBGItem.h"

VM_REGISTER_CLASS(generated::entity::BaseBGItem, .name = "generated.entity.BaseBGItem", .isInterface = true,
                  .isAbstract = true)
