// WAV and MIDI files made in memory, for the audio tests, benchmarks and
// fuzz seeds.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace soundfiles {

using Bytes = std::vector<uint8_t>;

inline void put16le(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void put32le(Bytes& b, uint32_t v) {
    put16le(b, v & 0xFFFF);
    put16le(b, v >> 16);
}
inline void put16be(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
inline void put32be(Bytes& b, uint32_t v) {
    put16be(b, v >> 16);
    put16be(b, v & 0xFFFF);
}
inline void putText(Bytes& b, const char* text) {
    for (; *text; ++text) b.push_back(uint8_t(*text));
}

// One RIFF chunk: id, length (the body's unless given), body, pad byte.
inline Bytes chunk(const char* id, const Bytes& body, int64_t declaredLength = -1) {
    Bytes b;
    putText(b, id);
    put32le(b, declaredLength < 0 ? uint32_t(body.size()) : uint32_t(declaredLength));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
    return b;
}

inline Bytes formatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes b;
    put16le(b, tag);
    put16le(b, channels);
    put32le(b, rate);
    put32le(b, rate * channels * bits / 8);
    put16le(b, uint16_t(channels * bits / 8));
    put16le(b, bits);
    return b;
}

// "RIFF" + size + "WAVE" + the chunks.
inline Bytes riff(std::initializer_list<Bytes> chunks) {
    Bytes body;
    putText(body, "WAVE");
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    putText(b, "RIFF");
    put32le(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A PCM WAV file holding the sample bytes.
inline Bytes wav(const Bytes& samples, uint16_t channels = 2, uint32_t rate = 44100, uint16_t bits = 16) {
    return riff({chunk("fmt ", formatBody(1, channels, rate, bits)), chunk("data", samples)});
}

// 16-bit little-endian sample bytes.
inline Bytes samples16(const std::vector<int16_t>& values) {
    Bytes b;
    for (int16_t v : values) put16le(b, uint16_t(v));
    return b;
}

// frames of interleaved stereo: a distinct non-zero value per sample (so a
// capture shows which sample came out where): frame i has i + 1 on the left
// and -(i + 1) on the right, wrapping within 1..30000.
inline std::vector<int16_t> countingStereo(uint32_t frames) {
    std::vector<int16_t> v;
    v.reserve(size_t(frames) * 2);
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t value = int16_t(i % 30000 + 1);
        v.push_back(value);
        v.push_back(int16_t(-value));
    }
    return v;
}

// A tone of the given frames as 16-bit stereo samples.
inline std::vector<int16_t> toneStereo(uint32_t frames, double amplitude = 8000, double hz = 440,
                                       uint32_t rate = 44100) {
    std::vector<int16_t> v;
    v.reserve(size_t(frames) * 2);
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t s = int16_t(amplitude * std::sin(2 * 3.14159265358979 * hz * i / rate));
        if (s == 0) s = 1;  // never silent
        v.push_back(s);
        v.push_back(s);
    }
    return v;
}

// A MIDI file: header (format 0 unless more tracks), then the tracks given
// as their event bytes (each wrapped in "MTrk" + length).
inline Bytes midi(uint16_t division, std::initializer_list<Bytes> tracks, uint16_t trackCount = 0) {
    Bytes b;
    putText(b, "MThd");
    put32be(b, 6);
    put16be(b, tracks.size() > 1 ? 1 : 0);
    put16be(b, trackCount ? trackCount : uint16_t(tracks.size()));
    put16be(b, division);
    for (const Bytes& t : tracks) {
        putText(b, "MTrk");
        put32be(b, uint32_t(t.size()));
        b.insert(b.end(), t.begin(), t.end());
    }
    return b;
}

// A variable-length quantity.
inline Bytes quantity(uint32_t value) {
    Bytes b;
    b.push_back(uint8_t(value & 0x7F));
    while (value >>= 7) b.insert(b.begin(), uint8_t(0x80 | (value & 0x7F)));
    return b;
}

// Joins byte runs.
inline Bytes join(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}

// One note held for `ticks` on channel 0 (program 0), then the end of the track.
inline Bytes noteTrack(uint8_t note = 60, uint32_t ticks = 500) {
    return join(
        {{0x00, 0xC0, 0x00}, {0x00, 0x90, note, 100}, quantity(ticks), {0x80, note, 0x40}, {0x00, 0xFF, 0x2F, 0x00}});
}

}  // namespace soundfiles
