#include "sound.h"

#include <algorithm>
#include <tuple>

namespace assetgen {

namespace {

// Sine of a 32-bit phase, about ±32767, in integers: a parabola and its
// usual correction (within 0.1% of the true sine).
int32_t sine(uint32_t phase) {
    const int64_t x = static_cast<int32_t>(phase) >> 16;  // -32768 to 32767 for -pi to pi
    const int64_t ax = x < 0 ? -x : x;
    const int64_t y = (4 * x * (32768 - ax)) >> 15;  // ±32768
    const int64_t ay = y < 0 ? -y : y;
    const int64_t refined = y + (225 * ((y * ay >> 15) - y)) / 1000;
    return static_cast<int32_t>(std::clamp<int64_t>(refined, -32767, 32767));
}

int32_t waveValue(Wave wave, uint32_t phase, uint32_t& noise) {
    switch (wave) {
        case Wave::Sine: return sine(phase);
        case Wave::Square: return phase < 0x80000000u ? 32767 : -32767;
        case Wave::Saw: return std::max(-32767, static_cast<int32_t>(phase >> 16) - 32768);
        case Wave::Triangle: {
            const int32_t t = static_cast<int32_t>(phase >> 15);  // 0 to 131071
            return std::clamp(t < 65536 ? t - 32768 : 98303 - t, -32767, 32767);
        }
        case Wave::Noise:
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            return static_cast<int32_t>(noise >> 16) - 32768;
    }
    return 0;
}

// Envelope level 0 to 65536 at sample i of n.
int64_t envelope(const Tone& t, int64_t i, int64_t n, int rate) {
    const int64_t attack = int64_t{t.attack} * rate / 1000;
    const int64_t decay = int64_t{t.decay} * rate / 1000;
    const int64_t release = int64_t{t.release} * rate / 1000;
    const int64_t sustain = int64_t{t.sustain} * 65536 / 100;
    int64_t level;
    if (i < attack) {
        level = i * 65536 / attack;
    } else if (i < attack + decay) {
        level = 65536 - (65536 - sustain) * (i - attack) / decay;
    } else {
        level = sustain;
    }
    if (release > 0 && i >= n - release) level = level * (n - i) / release;
    return level;
}

}  // namespace

std::vector<int16_t> synthesise(const SoundDescription& s) {
    checkRange(s.rate, 4000, 48000, "rate");
    checkRange(s.channels, 1, 2, "channels");
    if (s.bits != 8 && s.bits != 16) throw Error("bits", "8 or 16");
    checkRange(s.length, 0, 60000, "length");
    const int64_t frames = int64_t{s.rate} * s.length / 1000;
    std::vector<int32_t> mix(static_cast<size_t>(frames * s.channels), 0);
    for (size_t k = 0; k < s.tones.size(); ++k) {
        const Tone& t = s.tones[k];
        const std::string path = item("tones", k);
        checkRange(t.frequency, 1, 20000, join(path, "frequency"));
        if (t.toFrequency != -1) checkRange(t.toFrequency, 1, 20000, join(path, "to"));
        checkRange(t.start, 0, 60000, join(path, "start"));
        checkRange(t.length, 0, 60000, join(path, "length"));
        checkRange(t.volume, 0, 100, join(path, "volume"));
        checkRange(t.attack, 0, 60000, join(path, "attack"));
        checkRange(t.decay, 0, 60000, join(path, "decay"));
        checkRange(t.sustain, 0, 100, join(path, "sustain"));
        checkRange(t.release, 0, 60000, join(path, "release"));
        checkRange(t.pan, -100, 100, join(path, "pan"));
        if (t.seed == 0) throw Error(join(path, "seed"), "the noise seed must not be 0");

        const int64_t first = int64_t{s.rate} * t.start / 1000;
        const int64_t n = int64_t{s.rate} * t.length / 1000;
        const int64_t to = t.toFrequency == -1 ? t.frequency : t.toFrequency;
        const int64_t amplitude = int64_t{t.volume} * 65536 / 100;
        uint32_t phase = 0, noise = t.seed;
        for (int64_t i = 0; i < n && first + i < frames; ++i) {
            const int64_t frequency = t.frequency + (to - t.frequency) * i / std::max<int64_t>(n, 1);
            const int64_t v = waveValue(t.wave, phase, noise) * amplitude / 65536 * envelope(t, i, n, s.rate) / 65536;
            phase += static_cast<uint32_t>((frequency << 32) / s.rate);
            const size_t at = static_cast<size_t>((first + i) * s.channels);
            if (s.channels == 1) {
                mix[at] += static_cast<int32_t>(v);
            } else {
                mix[at] += static_cast<int32_t>(v * (100 - std::max(t.pan, 0)) / 100);
                mix[at + 1] += static_cast<int32_t>(v * (100 + std::min(t.pan, 0)) / 100);
            }
        }
    }
    std::vector<int16_t> samples(mix.size());
    for (size_t i = 0; i < mix.size(); ++i) samples[i] = static_cast<int16_t>(std::clamp(mix[i], -32767, 32767));
    return samples;
}

Bytes writeWav(int rate, int bits, int channels, const std::vector<int16_t>& samples) {
    const uint32_t bytesPerSample = static_cast<uint32_t>(bits / 8);
    const auto dataSize = static_cast<uint32_t>(samples.size() * bytesPerSample);
    ByteWriter out;
    out.tag("RIFF");
    out.u32le(36 + dataSize);
    out.tag("WAVE");
    out.tag("fmt ");
    out.u32le(16);
    out.u16le(1);  // PCM
    out.u16le(static_cast<uint32_t>(channels));
    out.u32le(static_cast<uint32_t>(rate));
    out.u32le(static_cast<uint32_t>(rate * channels) * bytesPerSample);
    out.u16le(static_cast<uint32_t>(channels) * bytesPerSample);
    out.u16le(static_cast<uint32_t>(bits));
    out.tag("data");
    out.u32le(dataSize);
    for (int16_t s : samples) {
        if (bits == 8) {
            out.u8(static_cast<uint32_t>((s >> 8) + 128));
        } else {
            out.u16le(static_cast<uint16_t>(s));
        }
    }
    return out.take();
}

void writeVarLength(ByteWriter& out, uint32_t value) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 1) out.u8(groups[--n] | 0x80u);
    out.u8(groups[0]);
}

namespace {

struct Event {
    int64_t tick;
    int order;  // note-offs before note-ons at the same tick
    int sequence;
    uint8_t status, data1, data2;
    int dataBytes;
};

void addTrackEvents(std::vector<Event>& events, const MidiTrack& t, const MusicDescription& m,
                    const std::string& path) {
    checkRange(t.channel, 0, 15, join(path, "channel"));
    if (t.program != -1) {
        checkRange(t.program, 0, 127, join(path, "program"));
        events.push_back({0, 0, static_cast<int>(events.size()), static_cast<uint8_t>(0xC0 | t.channel),
                          static_cast<uint8_t>(t.program), 0, 1});
    }
    for (size_t i = 0; i < t.notes.size(); ++i) {
        const Note& n = t.notes[i];
        const std::string note = item(join(path, "notes"), i);
        checkRange(n.at, 0, 0x0FFFFFFF, join(note, "at"));
        checkRange(n.length, 1, 0x0FFFFFFF, join(note, "length"));
        checkRange(n.key, 0, 127, join(note, "key"));
        checkRange(n.velocity, 1, 127, join(note, "velocity"));
        // The note's end is an event time too: a delta time holds 28 bits.
        if (n.at + n.length > 0x0FFFFFFF) {
            throw Error(join(note, "length"), "the note ends at tick " + std::to_string(n.at + n.length) +
                                                  ", after the last tick a song can hold (268435455)");
        }
        const int sequence = static_cast<int>(events.size());
        events.push_back({n.at, 2, sequence, static_cast<uint8_t>(0x90 | t.channel), static_cast<uint8_t>(n.key),
                          static_cast<uint8_t>(n.velocity), 2});
        if (m.noteOffs) {
            events.push_back({n.at + n.length, 1, sequence, static_cast<uint8_t>(0x80 | t.channel),
                              static_cast<uint8_t>(n.key), 64, 2});
        } else {
            events.push_back({n.at + n.length, 1, sequence, static_cast<uint8_t>(0x90 | t.channel),
                              static_cast<uint8_t>(n.key), 0, 2});
        }
    }
}

// One "MTrk" chunk: the tempo event when asked, the events in time order,
// the end of the track.
Bytes writeTrack(std::vector<Event> events, int tempo, bool runningStatus) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return std::tie(a.tick, a.order, a.sequence) < std::tie(b.tick, b.order, b.sequence);
    });
    ByteWriter body;
    if (tempo > 0) {
        body.u8(0);
        body.u8(0xFF);
        body.u8(0x51);
        body.u8(3);
        body.u8(static_cast<uint32_t>(tempo >> 16));
        body.u16(static_cast<uint32_t>(tempo));
    }
    int64_t now = 0;
    int running = -1;
    for (const Event& e : events) {
        writeVarLength(body, static_cast<uint32_t>(e.tick - now));
        now = e.tick;
        if (!runningStatus || e.status != running) body.u8(e.status);
        running = e.status;
        body.u8(e.data1);
        if (e.dataBytes == 2) body.u8(e.data2);
    }
    body.u8(0);
    body.u8(0xFF);
    body.u8(0x2F);
    body.u8(0);
    ByteWriter out;
    out.tag("MTrk");
    out.u32(static_cast<uint32_t>(body.size()));
    out.append(body.bytes());
    return out.take();
}

}  // namespace

Bytes writeMidi(const MusicDescription& m) {
    checkRange(m.format, 0, 1, "format");
    checkRange(m.division, 1, 32767, "division");
    checkRange(m.tempo, 0, 0xFFFFFF, "tempo");
    std::vector<Bytes> tracks;
    if (m.format == 0) {
        if (m.tracks.size() != 1) {
            throw Error("tracks", "a format-0 song holds exactly one track, not " + std::to_string(m.tracks.size()));
        }
        std::vector<Event> events;
        addTrackEvents(events, m.tracks[0], m, item("tracks", 0));
        tracks.push_back(writeTrack(events, m.tempo, m.runningStatus));
    } else {
        if (m.tempo > 0) tracks.push_back(writeTrack({}, m.tempo, m.runningStatus));
        for (size_t i = 0; i < m.tracks.size(); ++i) {
            std::vector<Event> events;
            addTrackEvents(events, m.tracks[i], m, item("tracks", i));
            tracks.push_back(writeTrack(events, 0, m.runningStatus));
        }
    }
    checkRange(static_cast<int64_t>(tracks.size()), 1, 65535, "tracks");
    ByteWriter out;
    out.tag("MThd");
    out.u32(6);
    out.u16(static_cast<uint32_t>(m.format));
    out.u16(static_cast<uint32_t>(tracks.size()));
    out.u16(static_cast<uint32_t>(m.division));
    for (const Bytes& t : tracks) out.append(t);
    return out.take();
}

}  // namespace assetgen
