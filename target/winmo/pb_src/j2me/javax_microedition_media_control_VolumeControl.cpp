// javax.microedition.media.control.VolumeControl
#include "javax_microedition_media_control_VolumeControl.h"

VM_REGISTER_CLASS(javax::microedition::media::control::VolumeControl,
                  .name = "javax.microedition.media.control.VolumeControl",
                  .superName = "javax.microedition.media.Control", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
