// javax.microedition.media.PlayerListener
#include "javax_microedition_media_PlayerListener.h"

VM_REGISTER_CLASS(javax::microedition::media::PlayerListener, .name = "javax.microedition.media.PlayerListener",
                  .sourceName = "target/winmo/pb_src/j2me/javax_microedition_media_PlayerListener",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
