// generated.entity.MansionInteractionItem: level object type 17, the mansion interaction item.
#include "generated_entity_MansionInteractionItem.h"

VM_REGISTER_CLASS(generated::entity::MansionInteractionItem, .name = "generated.entity.MansionInteractionItem",
                  .isInterface = true, .isAbstract = true)
