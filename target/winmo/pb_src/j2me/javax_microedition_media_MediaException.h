// javax.microedition.media.MediaException: a player cannot be made or cannot
// do what was asked of it.
#pragma once

#include "java_lang_Exception.h"

namespace javax::microedition::media {

class MediaException : public java::lang::Exception {
    VM_DECLARE_THROWABLE(MediaException, java::lang::Exception)

public:
    VMPtr<MediaException> construct();
    VMPtr<MediaException> construct(VMPtr<java::lang::String> message);
};

}  // namespace javax::microedition::media
