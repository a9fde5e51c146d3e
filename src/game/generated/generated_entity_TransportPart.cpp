// generated.entity.TransportPart
#include "generated_entity_TransportPart.h"

VM_REGISTER_CLASS(generated::entity::TransportPart, .name = "generated.entity.TransportPart", .isInterface = true,
                  .isAbstract = true)
