// The phone's wave-out audio device, stood in for on Linux.
//
// Every open device is one voice of a software mixer whose output goes to one
// SDL2 audio stream (44100 Hz, 16-bit stereo). A device plays the buffers
// written to it in order, each as often as its loop count says, and reports
// each finished buffer to its callback (WOM_DONE). PCM devices (format tag 1:
// 8- or 16-bit, mono or stereo, any rate) are converted to the mixer's format
// by SDL; MIDI stream devices (format tag 0x3000: a buffer is a run of
// {delta ticks, short MIDI message} pairs) are rendered by FluidSynth with a
// General MIDI soundfont. Without a soundfont, MIDI buffers play silently
// with the same timing.
//
// Without an audio device (no SDL audio driver, or SDL's "dummy" driver) a
// silent sink driven by the monotonic clock takes the mixer's output, so that
// positions advance and buffers finish as they would with sound. Tests may
// also drive the mixer by hand (WaveOutSetManualClock / WaveOutRender) and
// see every mixed block (WaveOutSetCaptureHook).
//
// Callbacks run on the mixer's thread (or the thread that rendered by hand,
// or the thread that called waveOutReset / waveOutOpen / waveOutClose),
// never while the mixer holds its lock. Like on the phone, a callback must
// not call the waveOut functions. waveOutReset and waveOutClose wait until no
// callback of that device is running, so that a callback never sees a
// device (or a buffer) that its owner has already taken back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ce {

struct WaveOutDevice;
using HWAVEOUT = WaveOutDevice*;
using MMRESULT = uint32_t;

#pragma pack(push, 1)
// The wave format (18 bytes, as on the phone).
struct WAVEFORMATEX {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;  // bytes of format-specific data that follow
};
// The MIDI stream format: the wave format followed by the tempo.
struct WAVEFORMAT_MIDI {
    WAVEFORMATEX wfx;
    uint32_t USecPerQuarterNote = 0;
    uint32_t TicksPerQuarterNote = 0;
};
#pragma pack(pop)

// One element of a MIDI stream buffer.
struct WAVEFORMAT_MIDI_MESSAGE {
    uint32_t DeltaTicks = 0;  // ticks since the previous message
    uint32_t MidiMsg = 0;     // status | data1 << 8 | data2 << 16
};

// A buffer handed to a device.
struct WAVEHDR {
    char* lpData = nullptr;
    uint32_t dwBufferLength = 0;
    uint32_t dwBytesRecorded = 0;
    uintptr_t dwUser = 0;
    uint32_t dwFlags = 0;
    uint32_t dwLoops = 0;  // with WHDR_BEGINLOOP | WHDR_ENDLOOP: times to play
    WAVEHDR* lpNext = nullptr;
    uintptr_t reserved = 0;
};

struct MMTIME {
    uint32_t wType = 0;
    union {
        uint32_t ms;
        uint32_t sample;
        uint32_t cb;
    } u{};
};

struct WAVEOUTCAPS {
    uint16_t wMid = 0;
    uint16_t wPid = 0;
    uint32_t vDriverVersion = 0;
    char16_t szPname[32] = {};
    uint32_t dwFormats = 0;
    uint16_t wChannels = 0;
    uint16_t wReserved1 = 0;
    uint32_t dwSupport = 0;
};

using WaveOutProc = void (*)(HWAVEOUT device, uint32_t message, uintptr_t instance, uintptr_t param1, uintptr_t param2);

// Results.
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// Devices and formats.
constexpr uint32_t WAVE_MAPPER = 0xFFFFFFFFu;
constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint16_t WAVE_FORMAT_MIDI = 0x3000;
constexpr uint16_t WAVE_FORMAT_MIDI_EXTRASIZE = 10;

// waveOutOpen flags.
constexpr uint32_t CALLBACK_NULL = 0;
constexpr uint32_t CALLBACK_FUNCTION = 0x30000;

// Buffer flags.
constexpr uint32_t WHDR_DONE = 0x01;
constexpr uint32_t WHDR_PREPARED = 0x02;
constexpr uint32_t WHDR_BEGINLOOP = 0x04;
constexpr uint32_t WHDR_ENDLOOP = 0x08;
constexpr uint32_t WHDR_INQUEUE = 0x10;

// Callback messages.
constexpr uint32_t WOM_OPEN = 0x3BB;
constexpr uint32_t WOM_CLOSE = 0x3BC;
constexpr uint32_t WOM_DONE = 0x3BD;

// Position formats.
constexpr uint32_t TIME_MS = 1;
constexpr uint32_t TIME_SAMPLES = 2;
constexpr uint32_t TIME_BYTES = 4;

// Device capabilities.
constexpr uint32_t WAVECAPS_VOLUME = 0x04;
constexpr uint32_t WAVECAPS_LRVOLUME = 0x08;
constexpr uint32_t WAVECAPS_SAMPLEACCURATE = 0x20;

uint32_t waveOutGetNumDevs();
// Opens a device (WAVE_MAPPER or 0) for the format. fdwOpen is
// CALLBACK_NULL or CALLBACK_FUNCTION (dwCallback a WaveOutProc, dwInstance
// handed back to it). A new device plays what is written to it at once.
MMRESULT waveOutOpen(HWAVEOUT* device, uint32_t deviceId, const WAVEFORMATEX* format, uintptr_t callback,
                     uintptr_t instance, uint32_t flags);
// Resets the device (its queued buffers come back) and closes it.
MMRESULT waveOutClose(HWAVEOUT device);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t size);
// WAVERR_STILLPLAYING while the buffer is queued.
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t size);
// Queues a prepared buffer behind the ones already queued.
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, uint32_t size);
MMRESULT waveOutPause(HWAVEOUT device);
MMRESULT waveOutRestart(HWAVEOUT device);
// Stops playing, hands every queued buffer back (WOM_DONE, on the calling
// thread), silences the device's notes and sets the position to 0. The
// device is left in the state it was in (paused or playing).
MMRESULT waveOutReset(HWAVEOUT device);
// The number of bytes played since the device was opened or last reset
// (TIME_BYTES; every other format asked for is answered in bytes too). A
// MIDI stream device counts its format's average bytes per second.
MMRESULT waveOutGetPosition(HWAVEOUT device, MMTIME* time, uint32_t size);
// Volume: left channel in the low word, right in the high word (0 to 0xFFFF).
MMRESULT waveOutGetVolume(HWAVEOUT device, uint32_t* volume);
MMRESULT waveOutSetVolume(HWAVEOUT device, uint32_t volume);
// Capabilities of device 0 (or of the device a handle belongs to, passed as
// the device id).
MMRESULT waveOutGetDevCaps(uintptr_t deviceId, WAVEOUTCAPS* caps, uint32_t size);

// --- the mixer, for the platform layer and tests ----------------------------------
constexpr uint32_t kWaveOutRate = 44100;  // frames per second of the mixed output
constexpr uint32_t kWaveOutChannels = 2;  // interleaved 16-bit stereo

// Mixed output as it leaves the mixer (interleaved stereo frames); called on
// the mixing thread, outside the mixer's lock. Null removes the hook.
using WaveOutCaptureHook = void (*)(void* context, const int16_t* frames, size_t frameCount);
void WaveOutSetCaptureHook(WaveOutCaptureHook hook, void* context);

// Manual clock (tests, benchmarks): no output is opened and nothing plays
// until WaveOutRender is called. Only changes while no device is open; false
// otherwise.
bool WaveOutSetManualClock(bool manual);
// Mixes frameCount frames into out (may be null) on the calling thread, then
// runs the callbacks due. Only in manual-clock mode; false otherwise.
bool WaveOutRender(int16_t* out, size_t frameCount);

// The soundfont MIDI devices use: the first existing file of the list below,
// unless a path has been set. An empty path means "no soundfont" (silent
// MIDI). Takes effect for devices opened afterwards.
void WaveOutSetSoundFontPath(const std::string& path);
std::string WaveOutSoundFontPath();
// Whether MIDI devices opened now would sound (a soundfont loads).
bool WaveOutHasSoundFont();

// Number of open devices, and whether the mixer's output (an SDL audio device
// or the clock-driven sink, each with its thread) is running.
int WaveOutOpenDeviceCount();
bool WaveOutOutputRunning();
// Name of the output in use: "sdl:<driver>", "clock" (silent sink) or
// "manual"; "" while none runs.
std::string WaveOutOutputName();
// Frees the synthesizers kept for reuse and stops the output when no device
// is open. Called at shutdown, after every device has been closed.
void WaveOutShutdown();

}  // namespace ce
