// generated.entity.AirportBGItem: level object type 0, the airport background item.
#include "generated_entity_AirportBGItem.h"

VM_REGISTER_CLASS(generated::entity::AirportBGItem, .name = "generated.entity.AirportBGItem", .isInterface = true,
                  .isAbstract = true)
