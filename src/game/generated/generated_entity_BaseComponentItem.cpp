// generated.entity.BaseComponentItem: level object type 4, the base transport.
#include "generated_entity_BaseComponentItem.h"

VM_REGISTER_CLASS(generated::entity::BaseComponentItem, .name = "generated.entity.BaseComponentItem",
                  .isInterface = true, .isAbstract = true)
