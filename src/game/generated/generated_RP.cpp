// generated.RP: resource ids, pack x 1024 + index in the pack.
#include "generated_RP.h"

VM_REGISTER_CLASS(generated::RP, .name = "generated.RP", .isInterface = true, .isAbstract = true)
