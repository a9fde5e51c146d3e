// javax.microedition.media.Control: the common type of the controls a player
// hands out.
#pragma once

#include "VMClass.h"

namespace javax::microedition::media {

class Control : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Control)
};

}  // namespace javax::microedition::media
