// generated.entity.BaseComponentItem
#include "generated_entity_BaseComponentItem.h"

VM_REGISTER_CLASS(generated::entity::BaseComponentItem, .name = "generated.entity.BaseComponentItem",
                  .isInterface = true, .isAbstract = true)
