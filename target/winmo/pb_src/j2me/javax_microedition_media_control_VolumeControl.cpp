// javax.microedition.media.control.VolumeControl: a player's loudness and mute switch.
#include "javax_microedition_media_control_VolumeControl.h"

VM_REGISTER_CLASS(javax::microedition::media::control::VolumeControl,
                  .name = "javax.microedition.media.control.VolumeControl",
                  .superName = "javax.microedition.media.Control", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
