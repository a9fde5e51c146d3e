// generated.entity.AirportComponentItem
#include "generated_entity_AirportComponentItem.h"

VM_REGISTER_CLASS(generated::entity::AirportComponentItem, .name = "generated.entity.AirportComponentItem",
                  .isInterface = true, .isAbstract = true)
