// generated.prop.PropShort: the 16-bit object fields of the level stream.
#include "generated_prop_PropShort.h"

VM_REGISTER_CLASS(generated::prop::PropShort, .name = "generated.prop.PropShort", .isInterface = true,
                  .isAbstract = true)
