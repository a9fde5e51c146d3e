// generated.entity.Player: level object type 21, the player's start.
#include "generated_entity_Player.h"

VM_REGISTER_CLASS(generated::entity::Player, .name = "generated.entity.Player", .isInterface = true, .isAbstract = true)
