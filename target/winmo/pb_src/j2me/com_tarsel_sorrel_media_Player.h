// com.tarsel.sorrel.media.Player: the one player class. It drives a native
// player of the platform layer (hal_audio.h) and is its own volume control.
//
// The native player is made with the object, so a player that exists holds
// its sound; realize() only moves the state. start() plays from the start
// position (0, or the media time last set), also after stop(): the sound
// does not resume where it stopped. The platform reports no events to the
// class, so listeners are accepted and never called.
#pragma once

#include "VMArray.h"
#include "java_lang_String.h"
#include "javax_microedition_media_Player.h"
#include "javax_microedition_media_control_VolumeControl.h"

struct HAL_Player;  // the platform's (hal_audio.h), opaque here

namespace com::tarsel::sorrel::media {

class Player : public virtual java::lang::Object,
               public virtual javax::microedition::media::Player,
               public virtual javax::microedition::media::control::VolumeControl {
    VM_DECLARE_CLASS(Player, java::lang::Object)

public:
    HAL_Player* native = nullptr;  // null once closed
    jboolean realized = false;
    jboolean muted = false;
    jint level = 100;  // the level set, kept while muted

    // From a locator "protocol:path" (protocols "file" and "x-jar"; WAV).
    // An unsupported protocol: MediaException; a file or resource that
    // cannot be read: java.io.IOException; a sound that cannot be played:
    // MediaException.
    VMPtr<Player> construct(VMPtr<java::lang::String> locator);
    // From length bytes of data at offset, of the content type given
    // ("audio/x-wav", "audio/midi" or null for WAV). A null array:
    // NullPointerException; a range outside it: IndexOutOfBoundsException;
    // another type or bytes that are no such sound: MediaException.
    VMPtr<Player> construct(VMPtr<VMArray<jbyte, 1>> data, jint offset, jint length,
                            VMPtr<java::lang::String> contentType);
    ~Player() override;

    // javax.microedition.media.Player
    void realize() override;
    void prefetch() override;
    void start() override;
    void stop() override;
    void deallocate() override;
    void close() override;
    jlong setMediaTime(jlong now) override;
    jlong getMediaTime() override;
    jint getState() override;
    jlong getDuration() override;
    VMPtr<java::lang::String> getContentType() override;
    void setLoopCount(jint count) override;
    void addPlayerListener(VMPtr<javax::microedition::media::PlayerListener> listener) override;
    void removePlayerListener(VMPtr<javax::microedition::media::PlayerListener> listener) override;
    VMPtr<VMArray<javax::microedition::media::Control, 1>> getControls() override;
    VMPtr<javax::microedition::media::Control> getControl(VMPtr<java::lang::String> controlType) override;

    // javax.microedition.media.control.VolumeControl
    void setMute(jboolean mute) override;
    jboolean isMuted() override;
    jint setLevel(jint newLevel) override;
    jint getLevel() override;

private:
    // IllegalStateException when closed.
    void checkOpen();
    void setDeviceLevel(jint deviceLevel);
};

}  // namespace com::tarsel::sorrel::media
