// generated.RP
#include "generated_RP.h"

VM_REGISTER_CLASS(generated::RP, .name = "generated.RP", .sourceName = "src/game/generated/generated_RP", .isInterface = true,
                  .isAbstract = true)
