// javax.microedition.media.MediaException: a player cannot be made or cannot do what was asked of it.
#include "javax_microedition_media_MediaException.h"

namespace javax::microedition::media {

VMPtr<MediaException> MediaException::construct() {
    Super::construct();
    return this;
}

VMPtr<MediaException> MediaException::construct(VMPtr<java::lang::String> message) {
    Super::construct(message);
    return this;
}

}  // namespace javax::microedition::media

VM_REGISTER_CLASS(javax::microedition::media::MediaException, .name = "javax.microedition.media.MediaException",
                  .newInstance = _VM_newInstanceOf<javax::microedition::media::MediaException>)
