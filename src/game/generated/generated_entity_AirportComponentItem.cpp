// generated.entity.AirportComponentItem: level object type 1, the airport transport (stairs, elevator, passage).
#include "generated_entity_AirportComponentItem.h"

VM_REGISTER_CLASS(generated::entity::AirportComponentItem, .name = "generated.entity.AirportComponentItem",
                  .isInterface = true, .isAbstract = true)
