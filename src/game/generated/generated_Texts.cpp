// generated.Texts: text ids, indices into the text table.
#include "generated_Texts.h"

VM_REGISTER_CLASS(generated::Texts, .name = "generated.Texts", .isInterface = true, .isAbstract = true)
