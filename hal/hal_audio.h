// Platform layer: audio players over the wave-out device.
//
// A native player is one wave-out device playing one prepared buffer: the
// PCM samples of a WAV file, or a MIDI file converted into the wave-out MIDI
// stream format. The entry points are called under the runtime lock; the
// device's callback (another thread) only turns a playing player into a
// finished one.
//
// Status codes (HAL_Status): HAL_OK, HAL_FAILED (not supported or failed),
// HAL_BAD_ARGUMENT, HAL_NOT_FOUND, HAL_OUT_OF_MEMORY, HAL_AUDIO_ERROR (a
// wave-out error), HAL_IO_ERROR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hal_system.h"

struct HAL_Player;

// Content-type codes.
enum HAL_ContentType : int32_t {
    HAL_CONTENT_UNKNOWN = 0,  // none of the known types
    HAL_CONTENT_NONE = 1,     // no type given
    HAL_CONTENT_WAV = 2,      // "audio/x-wav"
    HAL_CONTENT_CAF = 3,      // "audio/x-caf"
    HAL_CONTENT_MPEG = 4,     // "audio/mpeg"
    HAL_CONTENT_AAC = 5,      // "audio/aac"
    HAL_CONTENT_MIDI = 6,     // "audio/midi"
    HAL_CONTENT_MP4 = 7,      // "audio/mp4"
    HAL_CONTENT_WMA = 8,      // "audio/x-ms-wma"
    HAL_CONTENT_QCELP = 11,   // "audio/vnd.qcelp"
};

// Locator protocol codes.
enum HAL_Protocol : int32_t {
    HAL_PROTOCOL_UNKNOWN = 0,
    HAL_PROTOCOL_NONE = 1,
    HAL_PROTOCOL_DEVICE = 2,
    HAL_PROTOCOL_HTTP = 3,
    HAL_PROTOCOL_FILE = 4,
    HAL_PROTOCOL_JAR = 5,  // "x-jar": a resource of the application
};

// Player states as kept by the record.
enum HAL_PlayerState : int32_t {
    HAL_PLAYER_NEW = 0,
    HAL_PLAYER_PREFETCHED = 1,
    HAL_PLAYER_PLAYING = 2,
    HAL_PLAYER_STOPPED = 3,
    HAL_PLAYER_FINISHED = 4,
    HAL_PLAYER_RESETTING = 5,
};

// Player events (handed to the event hook).
enum HAL_PlayerEvent : int32_t {
    HAL_PLAYER_EVENT_STARTED = 0,
    HAL_PLAYER_EVENT_STOPPED = 1,
    HAL_PLAYER_EVENT_END_OF_MEDIA = 2,
    HAL_PLAYER_EVENT_DEALLOCATED = 4,
    HAL_PLAYER_EVENT_VOLUME_CHANGED = 5,
    HAL_PLAYER_EVENT_CLOSED = 6,
    HAL_PLAYER_EVENT_MEDIA_TIME_SET = 7,
};

// A player from bytes. Codes 1 and 2 read the bytes as a WAV file (copied),
// code 6 as a MIDI file (converted); any other code -> HAL_FAILED.
// loopCount < 0 repeats (1000000 times), otherwise the sound plays
// loopCount + 1 times.
// Success stores the player and adds it to the open-player list; a refused
// file gives HAL_FAILED.
int HAL_createPlayerWithData(HAL_Player** player, const uint8_t* bytes, int32_t size, int32_t contentCode,
                             int32_t loopCount);
// A WAV player from a locator's text after the protocol's ':' (for example
// "//sounds/a.wav"): protocol 4 reads the file named after the two slashes,
// protocol 5 the application resource of that name (leading slashes
// dropped). Content code 1 or 2, else HAL_FAILED. File not openable ->
// HAL_NOT_FOUND, empty or unreadable -> HAL_IO_ERROR, no memory ->
// HAL_OUT_OF_MEMORY; another protocol -> HAL_BAD_ARGUMENT.
int HAL_createPlayerWithLocator(HAL_Player** player, int32_t protocolCode, const char16_t* characters, int32_t length,
                                int32_t contentCode, int32_t loopCount);
// Content types and protocols of players made from a locator.
bool HAL_isPlayerContentTypeSupported(int32_t contentCode);
bool HAL_isPlayerProtocolSupported(int32_t protocolCode);

// The buffer is queued on the paused device (state 1).
int HAL_prefetchPlayer(HAL_Player* player);
// Plays from the start position (0 unless a media time was set), also after
// a stop: state 2.
int HAL_startPlayer(HAL_Player* player);
// Pauses the device when playing; state 3.
int HAL_stopPlayer(HAL_Player* player);
// Resets the device and takes the buffer back; start position 0, state 0.
int HAL_deallocatePlayer(HAL_Player* player);
// Deallocates, closes the device, leaves the open-player list and frees the
// player. A player that is not open -> HAL_BAD_ARGUMENT.
int HAL_closePlayer(HAL_Player* player);
// Plays count times from the next start (-1 without end); count < -1 ->
// HAL_BAD_ARGUMENT.
int HAL_setPlayerLoopCount(HAL_Player* player, int32_t count);
// 0 new, 1 prefetched, stopped or finished, 2 playing.
int HAL_getPlayerState(int32_t* state, HAL_Player* player);
int HAL_getPlayerDuration(int64_t* milliseconds, HAL_Player* player);  // 0 for MIDI
int HAL_getPlayerContentType(int32_t* code, HAL_Player* player);
// The position in the sound in microseconds, loops taken off; never beyond
// the duration of a WAV player. A MIDI player answers the time played since
// its start position.
int HAL_getPlayerMediaTime(int64_t* microseconds, HAL_Player* player);
// Where the next start begins (a WAV player starts at the whole second at
// or before it). Negative or beyond the duration -> HAL_BAD_ARGUMENT.
int HAL_setPlayerMediaTime(HAL_Player* player, int64_t microseconds);
// Volume level 0 to 100.
int HAL_getPlayerVolume(int32_t* level, HAL_Player* player);
int HAL_setPlayerVolume(HAL_Player* player, int32_t level);

// The open-player list.
int32_t HAL_getOpenPlayerCount();
HAL_Player* HAL_getOpenPlayer(int32_t index);  // null out of range
// Stops every open player (the application is being paused); they are not
// restarted on resume.
void HAL_stopOpenPlayers();
// Closes every open player and stops the audio output (shutdown).
void HAL_releaseAudio();

// Player-event hook: when set, every state change calls it with the player,
// the event and the media time in microseconds as two 32-bit halves. End of
// media is reported from the device's thread, the rest from the caller's.
using HAL_PlayerEventCallback = void (*)(void* context, HAL_Player* player, int32_t event, uint32_t timeLow,
                                         uint32_t timeHigh, int32_t reserved);
void HAL_setPlayerEventHook(void* context, HAL_PlayerEventCallback callback);

// --- the readers (also used by tests and the fuzz target) --------------------------

// Where the samples of a WAV file lie and what they are.
struct HAL_WaveInfo {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    uint32_t dataOffset = 0;  // from the start of the file
    uint32_t dataLength = 0;  // whole sample frames only
};
// Reads the RIFF chunks of a WAV file. HAL_OK for PCM (format tag 1), 8 or 16
// bits, mono or stereo, 1000 to 192000 frames per second, with a "data"
// chunk (a chunk cut short by the end of the file is taken as far as it
// goes); HAL_FAILED for anything else.
int HAL_readWaveInfo(const uint8_t* bytes, size_t size, HAL_WaveInfo* info);

struct HAL_MidiEvent {
    uint32_t deltaTicks = 0;  // ticks since the previous kept event
    uint8_t status = 0;       // channel message 0x80 to 0xEF
    uint8_t data1 = 0;
    uint8_t data2 = 0;  // 0 for program change and channel pressure
};
struct HAL_MidiSong {
    uint16_t division = 0;  // ticks per quarter note
    std::vector<HAL_MidiEvent> events;
};
// Reads a single-track MIDI file with a tick-based division into its channel
// events (note-offs included; running status honoured; meta and system-
// exclusive events skipped by their lengths, their delta times carried to
// the next kept event). HAL_OK, or HAL_FAILED for anything else: more than
// one track, a time-code or zero division, a missing track, an event cut off
// by the end of its track, a data byte where a status byte must be.
int HAL_readMidiSong(const uint8_t* bytes, size_t size, HAL_MidiSong* song);
