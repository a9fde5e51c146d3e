// javax.microedition.media.Control: the common type of the controls a player hands out.
#include "javax_microedition_media_Control.h"

VM_REGISTER_CLASS(javax::microedition::media::Control, .name = "javax.microedition.media.Control",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
