// generated.entity.MansionComponentItem
#include "generated_entity_MansionComponentItem.h"

VM_REGISTER_CLASS(generated::entity::MansionComponentItem, .name = "generated.entity.MansionComponentItem",
                  .isInterface = true, .isAbstract = true)
