// generated.entity.TransportPart: level object type 24, the point of a transport's path.
#include "generated_entity_TransportPart.h"

VM_REGISTER_CLASS(generated::entity::TransportPart, .name = "generated.entity.TransportPart", .isInterface = true,
                  .isAbstract = true)
