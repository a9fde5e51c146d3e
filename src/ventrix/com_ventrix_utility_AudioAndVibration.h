// com.ventrix.utility.AudioAndVibration: the one object through which the
// game plays its music. It holds the framework's media manager while a sound
// system exists; the music is sound 0, played on channel 0.
#pragma once

#include "VM.h"
#include "ts_MediaManager.h"

namespace com::ventrix::utility {

class AudioAndVibration : public virtual java::lang::Object {
    VM_DECLARE_CLASS(AudioAndVibration, java::lang::Object)

public:
    static VMStatic<AudioAndVibration> instance;

    VMField<ts::MediaManager> mediaManager;  // null while there is no sound system
    jint currentCue = 0;                     // the music last prepared; -1 once released
    jboolean soundOn = true;                 // the sound switch
    jboolean musicLoaded = false;            // a sound is prepared as sound 0

    static void _VM_clinit();
    VMPtr<AudioAndVibration> construct();

    // The singleton, made on first use.
    static VMPtr<AudioAndVibration> getInstance();

    // True when sound is switched off.
    virtual jboolean isSoundOff();
    // When music is prepared: sound 0 on channel 0 (from its start).
    virtual void restartSound();
    // Closes and drops the media manager (when there is one); no music is
    // prepared afterwards.
    virtual void releaseSound();
    // releaseSound.
    virtual void stopSound();

    void markReferences(uint32_t bits) override { _VM_markRef(mediaManager, bits); }
};

}  // namespace com::ventrix::utility
