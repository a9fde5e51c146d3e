// ts.MediaManagerImpl: the framework's media manager. It holds numbered
// sounds, each a realized and prefetched player made from a resource, with a
// priority, and a table of channels, each naming the sound it plays (-1
// none). A sound started on a channel stops the channel's previous sound,
// unless that one is still playing with a higher priority. The players mix
// on the platform's audio device; the manager has no thread of its own.
// Once closed it plays nothing.
#pragma once

#include "VM.h"
#include "javax_microedition_media_Player.h"
#include "ts_MediaManager.h"
#include "ts_TsCanvas.h"

namespace ts {

class MediaManagerImpl : public virtual java::lang::Object, public virtual MediaManager {
    VM_DECLARE_CLASS(MediaManagerImpl, java::lang::Object)

public:
    using Players = VMArray<javax::microedition::media::Player, 1>;

    // Resource type codes of the sounds it plays.
    static constexpr jint TYPE_MIDI = 0;
    static constexpr jint TYPE_WAV = 1;
    static constexpr jint NONE = -1;

    VMField<TsCanvas> canvas;
    VMField<Players> players;    // per sound number; null: an empty slot
    VMField<VMInts> priorities;  // per sound number
    VMField<VMInts> channels;    // per channel: the sound number, or -1
    jboolean closed = false;

    VMPtr<MediaManagerImpl> construct();

    // capacity sound slots and capacity channels, all empty (earlier sounds
    // are closed). NegativeArraySizeException for a negative capacity.
    void init(VMPtr<TsCanvas> gameCanvas, jint capacity) override;
    // Makes the resource (type 0 MIDI, 1 WAV) sound number `sound`, replacing
    // what the slot held; another type, or a resource that cannot be played,
    // leaves the slot empty (the failure is printed). Loop count -1 repeats
    // without end.
    void playSound(jint sound, jint resourceId, jint loopCount, jint priority) override;
    void playOnChannel(jint channel, jint sound) override;
    void stopSound(jint sound) override;
    void stopChannel(jint channel) override;
    jint getChannelCount() override;
    // Stops every sound and closes the players; nothing plays afterwards.
    void close() override;

    void markReferences(uint32_t bits) override {
        _VM_markRef(canvas, bits);
        _VM_markRef(players, bits);
        _VM_markRef(priorities, bits);
        _VM_markRef(channels, bits);
    }

private:
    // Closes and forgets the player of the sound, off every channel.
    void dropSound(jint sound);
    // Takes the sound off every channel except `keep`.
    void clearChannels(jint sound, jint keep);
};

}  // namespace ts
