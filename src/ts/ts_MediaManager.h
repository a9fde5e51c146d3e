// ts.MediaManager: the framework's media interface. A manager holds numbered
// sounds, each prepared from a resource, and a table of channels that play
// them; ts.MediaManagerImpl implements it.
#pragma once

#include "VM.h"

namespace ts {

class TsCanvas;

class MediaManager : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(MediaManager)

public:
    // Prepares the manager for the canvas with `capacity` channels.
    virtual void init(VMPtr<TsCanvas> canvas, jint capacity) = 0;
    // Loads the resource and prepares it as sound number `sound`; a loop
    // count of -1 repeats without end. Nothing once the manager is closed.
    virtual void playSound(jint sound, jint resourceId, jint loopCount, jint priority) = 0;
    // Plays the sound on the channel unless the channel holds a sound of
    // higher priority.
    virtual void playOnChannel(jint channel, jint sound) = 0;
    // Stops the sound and clears it from the channel table; -1 stops every
    // sound.
    virtual void stopSound(jint sound) = 0;
    // Clears the channel's entry and stops its player; -1 stops every channel.
    virtual void stopChannel(jint channel) = 0;
    // The length of the channel table.
    virtual jint getChannelCount() = 0;
    // Marks the manager closed and stops every sound.
    virtual void close() = 0;
};

}  // namespace ts
