// generated.Texts: text ids, indices into the text table. Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated {

class Texts : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Texts)
};

}  // namespace generated
