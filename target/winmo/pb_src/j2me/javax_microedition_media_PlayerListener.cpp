// javax.microedition.media.PlayerListener: told of a player's events.
#include "javax_microedition_media_PlayerListener.h"

VM_REGISTER_CLASS(javax::microedition::media::PlayerListener, .name = "javax.microedition.media.PlayerListener",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
