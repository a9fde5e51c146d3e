// generated.Texts
#include "generated_Texts.h"

VM_REGISTER_CLASS(generated::Texts, .name = "generated.Texts", .isInterface = true, .isAbstract = true)
