// javax.microedition.media.PlayerListener
#include "javax_microedition_media_PlayerListener.h"

VM_REGISTER_CLASS(javax::microedition::media::PlayerListener, .name = "javax.microedition.media.PlayerListener",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
