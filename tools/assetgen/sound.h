// Sounds: PCM synthesised from tones and noise into canonical WAV files, and
// notes into standard MIDI files.
#pragma once

#include <vector>

#include "bytes.h"

namespace assetgen {

enum class Wave { Sine, Square, Triangle, Saw, Noise };

struct Tone {
    Wave wave = Wave::Sine;
    int frequency = 440;   // Hz, 1 to 20000
    int toFrequency = -1;  // sweeps linearly to this frequency; -1: no sweep
    int start = 0;         // ms
    int length = 100;      // ms
    int volume = 100;      // 0 to 100
    // Envelope: rise over attack ms, fall to sustain % over decay ms, fall
    // to 0 over the last release ms of the tone.
    int attack = 0, decay = 0, sustain = 100, release = 0;
    int pan = 0;        // -100 left to 100 right (stereo)
    uint32_t seed = 1;  // noise
};

struct SoundDescription {
    int rate = 11025;  // 4000 to 48000
    int bits = 16;     // 8 or 16
    int channels = 1;  // 1 or 2
    int length = 0;    // ms, up to 60000
    std::vector<Tone> tones;
};

// 16-bit samples, interleaved by channel, mixed from the tones.
std::vector<int16_t> synthesise(const SoundDescription& sound);
// A canonical 44-byte-header WAV file (PCM) of the samples.
Bytes writeWav(int rate, int bits, int channels, const std::vector<int16_t>& samples);

struct Note {
    int64_t at = 0;      // ticks
    int64_t length = 1;  // ticks; the note ends by tick 0x0FFFFFFF
    int key = 60;        // 0 to 127
    int velocity = 100;  // 1 to 127
};

struct MidiTrack {
    int channel = 0;   // 0 to 15
    int program = -1;  // 0 to 127; -1: no program change
    std::vector<Note> notes;
};

struct MusicDescription {
    int format = 0;      // 0: exactly one track; 1: a tempo track, then one track each
    int division = 96;   // ticks per quarter note, 1 to 32767
    int tempo = 500000;  // microseconds per quarter note; 0: no tempo event
    bool runningStatus = true;
    bool noteOffs = true;  // note-off events (0x80), else note-on with velocity 0
    std::vector<MidiTrack> tracks;
};

Bytes writeMidi(const MusicDescription& music);
// A MIDI variable-length quantity.
void writeVarLength(ByteWriter& out, uint32_t value);

}  // namespace assetgen
