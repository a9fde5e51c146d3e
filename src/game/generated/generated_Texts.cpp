// generated.Texts
#include "generated_Texts.h"

VM_REGISTER_CLASS(generated::Texts, .name = "generated.Texts", .sourceName = "src/game/generated/generated_Texts", .isInterface = true,
                  .isAbstract = true)
