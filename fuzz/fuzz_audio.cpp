// Fuzz target: the WAV and MIDI readers, and players made from what they
// accept.
//
// Input layout: byte 0 picks the reader (bit 0: MIDI, else WAV) and whether
// an accepted file is also played (bit 1): made into a player, started,
// mixed for a few milliseconds by hand, asked for its media time, and closed.
// The rest is the file.
//
// A reader may refuse a file (status 1); what it accepts must lie inside the
// bytes, and the player made from it must play and close without trouble.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ce_waveout.h"
#include "hal_audio.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_audio: %s\n", what);
    std::abort();
}

void checkWave(const uint8_t* bytes, size_t size) {
    HAL_WaveInfo info;
    if (HAL_readWaveInfo(bytes, size, &info) != HAL_OK) return;
    if (uint64_t(info.dataOffset) + info.dataLength > size) fail("the samples reach past the file");
    if (info.dataLength % (uint32_t(info.channels) * info.bitsPerSample / 8) != 0) fail("a part of a frame");
}

void checkMidi(const uint8_t* bytes, size_t size) {
    HAL_MidiSong song;
    if (HAL_readMidiSong(bytes, size, &song) != HAL_OK) return;
    if (song.division == 0 || (song.division & 0x8000)) fail("a division that was to be refused");
    if (song.events.size() > size / 2) fail("more events than the bytes can hold");
    for (const HAL_MidiEvent& e : song.events) {
        if (e.status < 0x80 || e.status >= 0xF0) fail("not a channel message");
        if ((e.data1 | e.data2) & 0x80) fail("a data byte with the top bit set");
    }
}

void play(const uint8_t* bytes, size_t size, int32_t contentCode) {
    HAL_Player* player = nullptr;
    if (HAL_createPlayerWithData(&player, bytes, int32_t(size), contentCode, 1) != HAL_OK) return;
    int64_t time = 0;
    if (HAL_startPlayer(player) != HAL_OK) fail("an accepted file does not start");
    ce::WaveOutRender(nullptr, 512);
    if (HAL_getPlayerMediaTime(&time, player) != HAL_OK) fail("no media time");
    HAL_setPlayerMediaTime(player, time / 2);
    HAL_startPlayer(player);
    ce::WaveOutRender(nullptr, 256);
    HAL_stopPlayer(player);
    if (HAL_closePlayer(player) != HAL_OK) fail("an open player does not close");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The MIDI reader prints a line per event: not worth the fuzzer's time.
    if (!std::freopen("/dev/null", "w", stdout)) return 0;
    ce::WaveOutSetManualClock(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    const uint8_t* file = data + 1;
    const size_t length = size - 1;
    const bool midi = mode & 1;
    if (midi)
        checkMidi(file, length);
    else
        checkWave(file, length);
    if (mode & 2) play(file, length, midi ? HAL_CONTENT_MIDI : HAL_CONTENT_WAV);
    return 0;
}
