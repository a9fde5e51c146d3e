// javax.microedition.media.Control
#include "javax_microedition_media_Control.h"

VM_REGISTER_CLASS(javax::microedition::media::Control, .name = "javax.microedition.media.Control",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
