// com.ventrix.utility.AudioAndVibration: the one object through which the
// game plays its music and vibrates. It keeps a sound switch and a vibration
// switch, a table of sound resource ids and a table of cues (row c of the
// cue table names, in its element 0, the sound of cue c), and drives the
// framework's media manager, made by the first playMusic: the music is
// sound 0, played on channel 0. Callers test isMuted themselves before
// startMusic and stopAllChannels; the switch gates nothing here.
#pragma once

#include "VM.h"
#include "ts_MediaManager.h"

namespace com::ventrix::utility {

class AudioAndVibration : public virtual java::lang::Object {
    VM_DECLARE_CLASS(AudioAndVibration, java::lang::Object)

public:
    static constexpr jint CHANNELS = 10;
    static constexpr jint VIBRATION_MS = 500;

    static VMStatic<AudioAndVibration> instance;
    // Element k: the resource id of sound k; null until set.
    static VMStatic<VMInts> soundIds;
    // Row c: cue c, element 0 an index into soundIds; null until set.
    static VMStatic<VMIntRows> cueTable;

    VMField<ts::MediaManager> mediaManager;  // null while there is no sound system
    jint currentCue = 0;                     // the music last prepared; -1 after stopMusic and close
    jboolean soundOn = true;                 // the sound switch
    jboolean musicLoaded = false;            // a sound is prepared as sound 0
    jboolean effectsPlaying = false;         // channels other than 0 may be playing
    jboolean vibrationOn = false;            // the switch vibrateIfEnabled tests

    static void _VM_clinit();
    // The switches as at the start (sound on, no
    // vibration), then the canvas's vibration on.
    VMPtr<AudioAndVibration> construct();

    // The singleton, made on first use.
    static VMPtr<AudioAndVibration> getInstance();

    virtual void setVibrationOn(jboolean on);
    virtual jboolean isVibrationOn();
    // Nothing.
    virtual void prepareSounds(VMPtr<VMInts> ids);
    // True when sound is switched off.
    virtual jboolean isMuted();
    // The game canvas's vibration switch (nothing without Main's canvas).
    virtual void enableDeviceVibration(jboolean enabled);
    // With music prepared and effects playing: every channel but 0 stops.
    virtual void stopEffects(jint a, jint b);
    // With music prepared and another cue: stopEffects, then playMusic.
    virtual void switchMusic(jint cue, jint arg);
    // With music prepared: sound 0 on channel 0 (from its start).
    virtual void startMusic();
    // With a sound system: every channel stops and the music is forgotten.
    virtual void stopMusic();
    // With music prepared: the canvas vibrates for ms.
    virtual void vibrateFor(jint ms);
    // vibrateFor (500).
    virtual void vibrate(jint a, jint b);
    // Stops sound 0 (making the sound system first when there is none) and
    // prepares the sound of the cue as sound 0, repeating without end. A
    // cue outside the table, or one whose sound is outside the sound ids,
    // prepares nothing.
    virtual void playMusic(jint cue);
    // With music prepared: every channel stops; the music stays prepared.
    virtual void stopAllChannels();
    // close.
    virtual void destroy(jint a, jint b);
    // A deep copy of table becomes the cue table.
    virtual void setCueTable(VMPtr<VMIntRows> table);
    // Closes and drops the media manager (when there is one); no music is
    // prepared afterwards.
    virtual void close();
    // A copy of ids becomes the sound ids.
    virtual void setSoundIds(VMPtr<VMInts> ids);
    virtual void setMuted(jboolean muted);
    // With the vibration switch on: vibrate.
    virtual void vibrateIfEnabled(jint arg);

    void markReferences(uint32_t bits) override;
};

}  // namespace com::ventrix::utility
