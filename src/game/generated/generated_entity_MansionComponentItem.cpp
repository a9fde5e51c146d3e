// generated.entity.MansionComponentItem: level object type 16, the mansion transport.
#include "generated_entity_MansionComponentItem.h"

VM_REGISTER_CLASS(generated::entity::MansionComponentItem, .name = "generated.entity.MansionComponentItem",
                  .isInterface = true, .isAbstract = true)
