// javax.microedition.media.Player: plays one sound.
#include "javax_microedition_media_Player.h"

VM_REGISTER_CLASS(javax::microedition::media::Player, .name = "javax.microedition.media.Player", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
