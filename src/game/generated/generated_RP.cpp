// generated.RP
#include "generated_RP.h"

VM_REGISTER_CLASS(generated::RP, .name = "generated.RP", .isInterface = true, .isAbstract = true)
