// javax.microedition.media.control.VolumeControl: a player's loudness, as a
// level from 0 (silent) to 100, and its mute switch.
#pragma once

#include "javax_microedition_media_Control.h"

namespace javax::microedition::media::control {

class VolumeControl : public virtual javax::microedition::media::Control {
    VM_DECLARE_INTERFACE(VolumeControl)

public:
    // Mutes or unmutes; the level is kept.
    virtual void setMute(jboolean mute) = 0;
    virtual jboolean isMuted() = 0;
    // Sets the level (clamped to 0..100) and answers the level now set.
    virtual jint setLevel(jint level) = 0;
    virtual jint getLevel() = 0;
};

}  // namespace javax::microedition::media::control
