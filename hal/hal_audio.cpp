// Platform layer: audio players over the wave-out device.
#include "hal_audio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include "VMUtf8.h"
#include "ce_waveout.h"
#include "hal_file.h"
#include "hal_message.h"
#include "hal_resource.h"
#include "hal_system.h"

struct HAL_Player {
    ce::HWAVEOUT device = nullptr;
    ce::WAVEFORMAT_MIDI format{};  // the wave format, with the tempo for MIDI
    ce::WAVEHDR baseHeader{};      // the buffer as made, with its loop flags and count
    ce::WAVEHDR header{};          // the buffer handed to the device
    int32_t contentCode = 0;       // 2 WAV, 6 MIDI
    int64_t durationUs = 0;        // 0 for MIDI
    int64_t startUs = 0;           // the last media time set
    // Written by the entry points and, from the device's thread, by the
    // callback (playing -> finished only).
    std::atomic<int32_t> state{HAL_PLAYER_NEW};
    uint8_t* data = nullptr;  // the buffer the player owns
};

namespace {

constexpr uint32_t kLoopFlags = ce::WHDR_BEGINLOOP | ce::WHDR_ENDLOOP;  // 12
constexpr uint32_t kEndlessLoops = 1000000;

std::mutex g_listMutex;
std::vector<HAL_Player*> g_openPlayers;

std::mutex g_hookMutex;
HAL_PlayerEventCallback g_hook = nullptr;
void* g_hookContext = nullptr;

// When the application pauses, the host bridge stops every open player.
const bool g_stopsOnPause = (HAL_setPauseHook(HAL_stopOpenPlayers), true);

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

bool isOpen(HAL_Player* player) {
    std::lock_guard<std::mutex> lock(g_listMutex);
    return std::find(g_openPlayers.begin(), g_openPlayers.end(), player) != g_openPlayers.end();
}

void postEvent(HAL_Player* player, int32_t event, int64_t mediaTime) {
    HAL_PlayerEventCallback hook;
    void* context;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_hook;
        context = g_hookContext;
    }
    if (hook) hook(context, player, event, uint32_t(uint64_t(mediaTime)), uint32_t(uint64_t(mediaTime) >> 32), 0);
}

bool hookSet() {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    return g_hook != nullptr;
}

// An event of an entry point, with the media time at that moment.
void postEventNow(HAL_Player* player, int32_t event) {
    if (!hookSet()) return;
    int64_t mediaTime = 0;
    HAL_getPlayerMediaTime(&mediaTime, player);
    postEvent(player, event, mediaTime);
}

// The device's callback: a buffer came back. Only a playing player becomes
// finished; one that is being reset or stopped keeps its state.
void deviceCallback(ce::HWAVEOUT, uint32_t message, uintptr_t instance, uintptr_t, uintptr_t) {
    if (message != ce::WOM_DONE) return;
    auto* player = reinterpret_cast<HAL_Player*>(instance);
    int32_t expected = HAL_PLAYER_PLAYING;
    if (player->state.compare_exchange_strong(expected, HAL_PLAYER_FINISHED))
        postEvent(player, HAL_PLAYER_EVENT_END_OF_MEDIA, player->durationUs);
}

HAL_Player* newRecord() {
    void* block = HAL_malloc(sizeof(HAL_Player));
    return block ? new (block) HAL_Player : nullptr;
}

void freeRecord(HAL_Player* player) {
    if (player->data) HAL_free(player->data);
    player->~HAL_Player();
    HAL_free(player);
}

uint32_t loopsFor(int32_t loopCount) { return loopCount < 0 ? kEndlessLoops : uint32_t(loopCount) + 1; }

int openDevice(HAL_Player* player) {
    ce::MMRESULT result = ce::waveOutOpen(&player->device, ce::WAVE_MAPPER, &player->format.wfx,
                                          reinterpret_cast<uintptr_t>(deviceCallback),
                                          reinterpret_cast<uintptr_t>(player), ce::CALLBACK_FUNCTION);
    return result == ce::MMSYSERR_NOERROR ? HAL_OK : HAL_AUDIO_ERROR;
}

// Fills the record from a WAV file. With copy, the samples are copied and the
// bytes stay the caller's; without, the record takes the bytes (also when it
// fails: they are freed then).
int readWave(HAL_Player* player, uint8_t* bytes, int32_t size, int32_t loopCount, bool copy) {
    HAL_WaveInfo info;
    if (HAL_readWaveInfo(bytes, size_t(size), &info) != HAL_OK) {
        if (!copy) HAL_free(bytes);
        return HAL_FAILED;
    }
    uint8_t* owned = bytes;
    uint8_t* samples = bytes + info.dataOffset;
    if (copy) {
        owned = static_cast<uint8_t*>(HAL_malloc(info.dataLength));
        if (!owned) return HAL_OUT_OF_MEMORY;
        std::memcpy(owned, samples, info.dataLength);
        samples = owned;
    }
    ce::WAVEFORMATEX& f = player->format.wfx;
    f.wFormatTag = ce::WAVE_FORMAT_PCM;
    f.nChannels = info.channels;
    f.nSamplesPerSec = info.sampleRate;
    f.wBitsPerSample = info.bitsPerSample;
    f.nBlockAlign = uint16_t(info.bitsPerSample / 8 * info.channels);
    f.nAvgBytesPerSec = info.sampleRate * f.nBlockAlign;
    f.cbSize = 0;
    ce::WAVEHDR& h = player->baseHeader;
    h = ce::WAVEHDR{};
    h.lpData = reinterpret_cast<char*>(samples);
    h.dwBufferLength = info.dataLength;
    h.dwFlags = kLoopFlags;
    h.dwLoops = loopsFor(loopCount);
    if (openDevice(player) != HAL_OK) {
        HAL_free(owned);
        return HAL_AUDIO_ERROR;
    }
    player->header = h;
    player->contentCode = HAL_CONTENT_WAV;
    player->state.store(HAL_PLAYER_NEW);
    player->startUs = 0;
    player->durationUs = int64_t(float(info.dataLength) / float(f.nAvgBytesPerSec) * 1e6f);
    player->data = owned;
    return HAL_OK;
}

// Fills the record from a MIDI file: its events become wave-out MIDI stream
// messages, one tick lasting one millisecond.
int readMidi(HAL_Player* player, const uint8_t* bytes, int32_t size, int32_t loopCount) {
    HAL_MidiSong song;
    if (HAL_readMidiSong(bytes, size_t(size), &song) != HAL_OK) return HAL_FAILED;
    const size_t count = song.events.size();
    if (count > UINT32_MAX / sizeof(ce::WAVEFORMAT_MIDI_MESSAGE)) return HAL_OUT_OF_MEMORY;
    size_t bytesNeeded = count * sizeof(ce::WAVEFORMAT_MIDI_MESSAGE);
    auto* buffer = static_cast<uint8_t*>(HAL_malloc(bytesNeeded > 0 ? bytesNeeded : 1));
    if (!buffer) return HAL_OUT_OF_MEMORY;
    for (size_t i = 0; i < count; ++i) {
        const HAL_MidiEvent& e = song.events[i];
        ce::WAVEFORMAT_MIDI_MESSAGE m;
        m.DeltaTicks = e.deltaTicks;
        m.MidiMsg = uint32_t(e.status) | uint32_t(e.data1) << 8 | uint32_t(e.data2) << 16;
        std::memcpy(buffer + i * sizeof m, &m, sizeof m);
        std::printf("%d - ) ORIGINAL - Event type + channel: %x, par1: %x, par2: %x\n", int(i), e.status, e.data1,
                    e.data2);
    }
    ce::WAVEFORMAT_MIDI& f = player->format;
    f.wfx.wFormatTag = ce::WAVE_FORMAT_MIDI;
    f.wfx.nChannels = 1;
    f.wfx.nSamplesPerSec = 32;
    f.wfx.nAvgBytesPerSec = 32;
    f.wfx.nBlockAlign = 8;
    f.wfx.wBitsPerSample = 16;
    f.wfx.cbSize = ce::WAVE_FORMAT_MIDI_EXTRASIZE;
    f.USecPerQuarterNote = uint32_t(song.division) * 1000;
    f.TicksPerQuarterNote = song.division;
    ce::WAVEHDR& h = player->baseHeader;
    h = ce::WAVEHDR{};
    h.lpData = reinterpret_cast<char*>(buffer);
    h.dwBufferLength = uint32_t(bytesNeeded);
    h.dwFlags = kLoopFlags;
    h.dwLoops = loopsFor(loopCount);
    if (openDevice(player) != HAL_OK) {
        HAL_free(buffer);
        return HAL_AUDIO_ERROR;
    }
    player->header = h;
    player->contentCode = HAL_CONTENT_MIDI;
    player->state.store(HAL_PLAYER_NEW);
    player->startUs = 0;
    player->durationUs = 0;
    player->data = buffer;
    return HAL_OK;
}

void addOpenPlayer(HAL_Player* player) {
    std::lock_guard<std::mutex> lock(g_listMutex);
    g_openPlayers.push_back(player);
}

void removeOpenPlayer(HAL_Player* player) {
    std::lock_guard<std::mutex> lock(g_listMutex);
    auto at = std::find(g_openPlayers.begin(), g_openPlayers.end(), player);
    if (at != g_openPlayers.end()) g_openPlayers.erase(at);
}

// Resets the device and takes the buffer back. keepStart: a rewind keeps the
// start position; a deallocation sets it to 0.
int deallocate(HAL_Player* player, bool keepStart) {
    player->state.store(HAL_PLAYER_RESETTING);
    if (ce::waveOutReset(player->device) != ce::MMSYSERR_NOERROR) return HAL_AUDIO_ERROR;
    if (ce::waveOutUnprepareHeader(player->device, &player->header, sizeof player->header) != ce::MMSYSERR_NOERROR)
        return HAL_AUDIO_ERROR;
    if (!keepStart) player->startUs = 0;
    player->state.store(HAL_PLAYER_NEW);
    postEventNow(player, HAL_PLAYER_EVENT_DEALLOCATED);
    return HAL_OK;
}

// The first step of every start: the buffer from the start position, the
// device reset. A WAV player begins at the whole second at or before it.
int rewind(HAL_Player* player) {
    int64_t start = player->startUs;
    if (start < 0) return HAL_BAD_ARGUMENT;
    ce::WAVEHDR h = player->baseHeader;
    if (player->contentCode == HAL_CONTENT_WAV) {
        uint64_t offset = uint64_t(start / 1000000) * player->format.wfx.nAvgBytesPerSec;
        if (offset > h.dwBufferLength) offset = h.dwBufferLength;
        h.lpData += offset;
        h.dwBufferLength -= uint32_t(offset);
        h.dwFlags = kLoopFlags;
    }
    // The buffer may still be queued when the reset failed: it is then left alone.
    if (deallocate(player, true) == HAL_OK) player->header = h;
    return HAL_OK;
}

// Reads a whole file named by UTF-16 characters into a platform block.
int readWholeFile(const char16_t* characters, int32_t length, uint8_t** buffer, int32_t* size) {
    for (int32_t i = 0; i < length; ++i)
        if (characters[i] == 0) return HAL_BAD_ARGUMENT;
    jlong bytes = _VM_utf8Length(reinterpret_cast<const jchar*>(characters), length, false);
    if (bytes <= 0 || bytes >= 4096) return HAL_BAD_ARGUMENT;
    std::string path(size_t(bytes) + 1, '\0');
    jint room = jint(path.size());
    _VM_utf8Encode(reinterpret_cast<uint8_t*>(path.data()), room, reinterpret_cast<const jchar*>(characters), length,
                   false, true);
    path.resize(size_t(room));
    int fd;
    int status = hal_file::openRegular(path.c_str(), &fd);
    if (status != HAL_OK) return status;
    hal_file::Descriptor file(fd);
    status = hal_file::readWhole(fd, buffer, size);
    if (status == HAL_OK && *size == 0) {
        HAL_free(*buffer);
        *buffer = nullptr;
        status = HAL_IO_ERROR;
    }
    return status;
}

// Reads a variable-length quantity at p (before end): at most four bytes.
// False when it runs past the end or is longer.
bool readQuantity(const uint8_t* bytes, size_t& p, size_t end, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end) return false;
        uint8_t b = bytes[p++];
        value = value << 7 | (b & 0x7F);
        if (!(b & 0x80)) return true;
    }
    return false;
}

}  // namespace

// --- readers -----------------------------------------------------------------------------

int HAL_readWaveInfo(const uint8_t* bytes, size_t size, HAL_WaveInfo* info) {
    if (bytes == nullptr || info == nullptr) return HAL_BAD_ARGUMENT;
    *info = HAL_WaveInfo{};
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return HAL_FAILED;
    bool haveFormat = false, haveData = false;
    uint16_t tag = 0;
    size_t p = 12;
    while (p <= size && size - p >= 8) {
        const uint8_t* id = bytes + p;
        uint64_t length = le32(bytes + p + 4);
        size_t body = p + 8;
        size_t available = size - body;
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (length < 16 || length > available) return HAL_FAILED;
            tag = le16(bytes + body);
            info->channels = le16(bytes + body + 2);
            info->sampleRate = le32(bytes + body + 4);
            info->bitsPerSample = le16(bytes + body + 14);
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0 && !haveData) {
            info->dataOffset = uint32_t(body);
            info->dataLength = uint32_t(std::min<uint64_t>(length, available));
            haveData = true;
        }
        uint64_t next = uint64_t(body) + length + (length & 1);
        if (next > size) break;
        p = size_t(next);
    }
    if (!haveFormat || !haveData || tag != 1) return HAL_FAILED;
    if (info->channels != 1 && info->channels != 2) return HAL_FAILED;
    if (info->bitsPerSample != 8 && info->bitsPerSample != 16) return HAL_FAILED;
    if (info->sampleRate < 1000 || info->sampleRate > 192000) return HAL_FAILED;
    uint32_t frame = uint32_t(info->channels) * info->bitsPerSample / 8;
    info->dataLength -= info->dataLength % frame;
    return HAL_OK;
}

namespace {

int readMidiSong(const uint8_t* bytes, size_t size, HAL_MidiSong* song) {
    if (size < 14 || std::memcmp(bytes, "MThd", 4) != 0) return HAL_FAILED;
    uint32_t headerLength = be32(bytes + 4);
    if (headerLength < 6 || headerLength > size - 8) return HAL_FAILED;
    uint16_t tracks = be16(bytes + 10);
    uint16_t division = be16(bytes + 12);
    if (division & 0x8000) return HAL_FAILED;  // time-code division
    if (tracks != 1 || division == 0) return HAL_FAILED;

    // The track: the first "MTrk" chunk, cut at the end of the file.
    size_t p = 8 + size_t(headerLength);
    size_t end = 0;
    for (;;) {
        if (p > size || size - p < 8) return HAL_FAILED;
        uint32_t length = be32(bytes + p + 4);
        size_t body = p + 8;
        if (std::memcmp(bytes + p, "MTrk", 4) == 0) {
            end = body + std::min<size_t>(length, size - body);
            p = body;
            break;
        }
        if (length > size - body) return HAL_FAILED;
        p = body + length;
    }

    uint64_t carried = 0;  // delta ticks of the events skipped since the last kept one
    uint8_t running = 0;
    while (p < end) {
        uint32_t delta;
        if (!readQuantity(bytes, p, end, delta)) return HAL_FAILED;
        carried += delta;
        if (p >= end) return HAL_FAILED;
        uint8_t b = bytes[p];
        if (b == 0xFF) {  // meta event: type, length, data
            if (end - p < 2) return HAL_FAILED;
            uint8_t type = bytes[p + 1];
            p += 2;
            uint32_t length;
            if (!readQuantity(bytes, p, end, length) || length > end - p) return HAL_FAILED;
            p += length;
            if (type == 0x2F) break;  // end of track
            continue;
        }
        if (b == 0xF0 || b == 0xF7) {  // system exclusive: length, data
            ++p;
            uint32_t length;
            if (!readQuantity(bytes, p, end, length) || length > end - p) return HAL_FAILED;
            p += length;
            continue;
        }
        if (b > 0xF0) return HAL_FAILED;  // system common and real-time messages have no place in a file
        uint8_t status;
        if (b & 0x80) {
            status = b;
            running = b;
            ++p;
        } else {
            if (running == 0) return HAL_FAILED;  // data without a status
            status = running;
        }
        size_t needed = (status & 0xE0) == 0xC0 ? 1 : 2;  // program change, channel pressure: one
        if (end - p < needed) return HAL_FAILED;
        uint8_t data1 = bytes[p];
        uint8_t data2 = needed == 2 ? bytes[p + 1] : 0;
        if ((data1 | data2) & 0x80) return HAL_FAILED;
        p += needed;
        HAL_MidiEvent event;
        event.deltaTicks = uint32_t(std::min<uint64_t>(carried, UINT32_MAX));
        event.status = status;
        event.data1 = data1;
        event.data2 = data2;
        song->events.push_back(event);
        carried = 0;
    }
    song->division = division;
    return HAL_OK;
}

}  // namespace

int HAL_readMidiSong(const uint8_t* bytes, size_t size, HAL_MidiSong* song) {
    if (bytes == nullptr || song == nullptr) return HAL_BAD_ARGUMENT;
    song->division = 0;
    song->events.clear();
    int status = readMidiSong(bytes, size, song);
    if (status != HAL_OK) song->events.clear();
    return status;
}

// --- players --------------------------------------------------------------------------------

int HAL_createPlayerWithData(HAL_Player** player, const uint8_t* bytes, int32_t size, int32_t contentCode,
                             int32_t loopCount) {
    if (player == nullptr) return HAL_BAD_ARGUMENT;
    *player = nullptr;
    if (bytes == nullptr || size < 0) return HAL_BAD_ARGUMENT;
    if (contentCode != HAL_CONTENT_NONE && contentCode != HAL_CONTENT_WAV && contentCode != HAL_CONTENT_MIDI)
        return HAL_FAILED;
    HAL_Player* record = newRecord();
    if (!record) return HAL_OUT_OF_MEMORY;
    int status = contentCode == HAL_CONTENT_MIDI ? readMidi(record, bytes, size, loopCount)
                                                 : readWave(record, const_cast<uint8_t*>(bytes), size, loopCount, true);
    if (status != HAL_OK) {
        freeRecord(record);
        return status;
    }
    addOpenPlayer(record);
    *player = record;
    return HAL_OK;
}

int HAL_createPlayerWithLocator(HAL_Player** player, int32_t protocolCode, const char16_t* characters, int32_t length,
                                int32_t contentCode, int32_t loopCount) {
    if (player == nullptr) return HAL_BAD_ARGUMENT;
    *player = nullptr;
    if (contentCode != HAL_CONTENT_NONE && contentCode != HAL_CONTENT_WAV) return HAL_FAILED;
    if (protocolCode != HAL_PROTOCOL_FILE && protocolCode != HAL_PROTOCOL_JAR) return HAL_BAD_ARGUMENT;
    if (characters == nullptr || length < 0) return HAL_BAD_ARGUMENT;
    uint8_t* buffer = nullptr;
    int32_t size = 0;
    int status;
    if (protocolCode == HAL_PROTOCOL_FILE) {
        // "file://" + the path: the two slashes belong to the locator.
        if (length < 3 || characters[0] != u'/' || characters[1] != u'/') return HAL_BAD_ARGUMENT;
        status = readWholeFile(characters + 2, length - 2, &buffer, &size);
    } else {
        int32_t skip = 0;
        while (skip < length && characters[skip] == u'/') ++skip;
        status = HAL_loadResource(characters + skip, length - skip, &buffer, &size);
        if (status == HAL_OK && size == 0) {
            HAL_free(buffer);
            status = HAL_IO_ERROR;
        }
    }
    if (status != HAL_OK) return status;
    HAL_Player* record = newRecord();
    if (!record) {
        HAL_free(buffer);
        return HAL_OUT_OF_MEMORY;
    }
    status = readWave(record, buffer, size, loopCount, false);
    if (status != HAL_OK) {
        freeRecord(record);
        return status;
    }
    addOpenPlayer(record);
    *player = record;
    return HAL_OK;
}

bool HAL_isPlayerContentTypeSupported(int32_t contentCode) { return contentCode == HAL_CONTENT_WAV; }

bool HAL_isPlayerProtocolSupported(int32_t protocolCode) {
    return protocolCode == HAL_PROTOCOL_FILE || protocolCode == HAL_PROTOCOL_JAR;
}

int HAL_prefetchPlayer(HAL_Player* player) {
    if (player == nullptr) return HAL_BAD_ARGUMENT;
    int32_t state = player->state.load();
    if (state == HAL_PLAYER_PLAYING) return HAL_OK;  // a playing sound stays playing (and stoppable)
    if (state == HAL_PLAYER_NEW || state == HAL_PLAYER_RESETTING) {
        ce::HWAVEOUT device = player->device;
        if (ce::waveOutPrepareHeader(device, &player->header, sizeof player->header) != ce::MMSYSERR_NOERROR ||
            ce::waveOutPause(device) != ce::MMSYSERR_NOERROR ||
            ce::waveOutWrite(device, &player->header, sizeof player->header) != ce::MMSYSERR_NOERROR)
            return HAL_AUDIO_ERROR;
    }
    player->state.store(HAL_PLAYER_PREFETCHED);
    return HAL_OK;
}

int HAL_startPlayer(HAL_Player* player) {
    if (player == nullptr) return HAL_BAD_ARGUMENT;
    int status = rewind(player);
    if (status != HAL_OK) return status;
    if (HAL_prefetchPlayer(player) != HAL_OK) return HAL_AUDIO_ERROR;
    // Playing before the device runs: a buffer that ends at once must find
    // the player playing to make it finished.
    player->state.store(HAL_PLAYER_PLAYING);
    if (ce::waveOutRestart(player->device) != ce::MMSYSERR_NOERROR) {
        player->state.store(HAL_PLAYER_PREFETCHED);
        return HAL_AUDIO_ERROR;
    }
    postEventNow(player, HAL_PLAYER_EVENT_STARTED);
    return HAL_OK;
}

int HAL_stopPlayer(HAL_Player* player) {
    if (player == nullptr) return HAL_BAD_ARGUMENT;
    if (player->state.load() == HAL_PLAYER_PLAYING && ce::waveOutPause(player->device) != ce::MMSYSERR_NOERROR)
        return HAL_AUDIO_ERROR;
    player->state.store(HAL_PLAYER_STOPPED);
    postEventNow(player, HAL_PLAYER_EVENT_STOPPED);
    return HAL_OK;
}

int HAL_deallocatePlayer(HAL_Player* player) {
    if (player == nullptr) return HAL_BAD_ARGUMENT;
    return deallocate(player, false);
}

int HAL_closePlayer(HAL_Player* player) {
    if (player == nullptr || !isOpen(player)) return HAL_BAD_ARGUMENT;
    deallocate(player, false);  // closing resets the device again in any case
    if (ce::waveOutClose(player->device) != ce::MMSYSERR_NOERROR) return HAL_AUDIO_ERROR;
    player->device = nullptr;
    postEvent(player, HAL_PLAYER_EVENT_CLOSED, 0);
    removeOpenPlayer(player);
    freeRecord(player);
    return HAL_OK;
}

int HAL_setPlayerLoopCount(HAL_Player* player, int32_t count) {
    if (player == nullptr || count < -1) return HAL_BAD_ARGUMENT;
    player->baseHeader.dwFlags = kLoopFlags;
    player->baseHeader.dwLoops = uint32_t(count);  // -1: all bits set
    return HAL_OK;
}

int HAL_getPlayerState(int32_t* state, HAL_Player* player) {
    if (player == nullptr || state == nullptr) return HAL_BAD_ARGUMENT;
    switch (player->state.load()) {
        case HAL_PLAYER_NEW: *state = 0; break;
        case HAL_PLAYER_PLAYING: *state = 2; break;
        default: *state = 1; break;
    }
    return HAL_OK;
}

int HAL_getPlayerDuration(int64_t* milliseconds, HAL_Player* player) {
    if (player == nullptr || milliseconds == nullptr) return HAL_BAD_ARGUMENT;
    *milliseconds = player->durationUs / 1000;
    return HAL_OK;
}

int HAL_getPlayerContentType(int32_t* code, HAL_Player* player) {
    if (player == nullptr || code == nullptr) return HAL_BAD_ARGUMENT;
    *code = player->contentCode;
    return HAL_OK;
}

int HAL_getPlayerMediaTime(int64_t* microseconds, HAL_Player* player) {
    if (player == nullptr || microseconds == nullptr) return HAL_BAD_ARGUMENT;
    ce::MMTIME time;
    time.wType = ce::TIME_BYTES;
    if (ce::waveOutGetPosition(player->device, &time, sizeof time) != ce::MMSYSERR_NOERROR) {
        *microseconds = -1;
        return HAL_AUDIO_ERROR;
    }
    if (time.wType != ce::TIME_BYTES) return HAL_FAILED;
    float elapsed = float(time.u.cb) / float(player->format.wfx.nAvgBytesPerSec) * 1e6f;
    float span = float(player->durationUs - player->startUs);
    int64_t passes = 0;
    if (span > 0) {
        passes = int64_t(elapsed / span);
        // After the last of a finite number of passes the position rests at
        // the end of that pass. A player that loops without end (-1) is
        // always inside its current pass.
        int32_t loops = int32_t(player->header.dwLoops);
        if (loops > 0 && passes >= loops && passes % loops == 0) passes -= 1;
    }
    int64_t mediaTime = int64_t(float(player->startUs) + elapsed - float(passes) * span);
    if (player->contentCode == HAL_CONTENT_WAV && mediaTime > player->durationUs) mediaTime = player->durationUs;
    *microseconds = mediaTime;
    return HAL_OK;
}

int HAL_setPlayerMediaTime(HAL_Player* player, int64_t microseconds) {
    if (player == nullptr || microseconds < 0 || microseconds > player->durationUs) return HAL_BAD_ARGUMENT;
    player->startUs = microseconds;
    postEventNow(player, HAL_PLAYER_EVENT_MEDIA_TIME_SET);
    return HAL_OK;
}

int HAL_getPlayerVolume(int32_t* level, HAL_Player* player) {
    if (player == nullptr || level == nullptr) return HAL_BAD_ARGUMENT;
    uint32_t volume = 0;
    if (ce::waveOutGetVolume(player->device, &volume) != ce::MMSYSERR_NOERROR) {
        *level = -1;
        return HAL_AUDIO_ERROR;
    }
    *level = int32_t(std::floor(double(volume >> 16) * 0.0015259022 + 0.5));
    return HAL_OK;
}

int HAL_setPlayerVolume(HAL_Player* player, int32_t level) {
    if (player == nullptr) return HAL_BAD_ARGUMENT;
    ce::WAVEOUTCAPS caps;
    if (ce::waveOutGetDevCaps(reinterpret_cast<uintptr_t>(player->device), &caps, sizeof caps) != ce::MMSYSERR_NOERROR)
        return HAL_FAILED;
    level = std::clamp(level, 0, 100);
    if (!(caps.dwSupport & ce::WAVECAPS_VOLUME)) return HAL_FAILED;
    uint32_t v = uint32_t(double(level) * 65535 * 0.01) & 0xFFFF;
    uint32_t volume = (caps.dwSupport & ce::WAVECAPS_LRVOLUME) ? v * 0x10001u : v;
    if (ce::waveOutSetVolume(player->device, volume) != ce::MMSYSERR_NOERROR) return HAL_AUDIO_ERROR;
    postEventNow(player, HAL_PLAYER_EVENT_VOLUME_CHANGED);
    return HAL_OK;
}

// --- the open-player list ------------------------------------------------------------------

int32_t HAL_getOpenPlayerCount() {
    std::lock_guard<std::mutex> lock(g_listMutex);
    return int32_t(g_openPlayers.size());
}

HAL_Player* HAL_getOpenPlayer(int32_t index) {
    std::lock_guard<std::mutex> lock(g_listMutex);
    if (index < 0 || size_t(index) >= g_openPlayers.size()) return nullptr;
    return g_openPlayers[size_t(index)];
}

void HAL_stopOpenPlayers() {
    std::vector<HAL_Player*> players;
    {
        std::lock_guard<std::mutex> lock(g_listMutex);
        players = g_openPlayers;
    }
    for (HAL_Player* player : players) HAL_stopPlayer(player);
}

void HAL_releaseAudio() {
    for (;;) {
        HAL_Player* last;
        {
            std::lock_guard<std::mutex> lock(g_listMutex);
            if (g_openPlayers.empty()) break;
            last = g_openPlayers.back();
        }
        if (HAL_closePlayer(last) != HAL_OK) removeOpenPlayer(last);  // never stuck on one that will not close
    }
    ce::WaveOutShutdown();
}

void HAL_setPlayerEventHook(void* context, HAL_PlayerEventCallback callback) {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_hook = callback;
    g_hookContext = context;
}
