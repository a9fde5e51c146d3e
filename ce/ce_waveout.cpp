// The wave-out device over SDL2 audio, with FluidSynth for MIDI streams.
#include "ce_waveout.h"

#include <SDL.h>
#include <fluidsynth.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "ce_library.h"

namespace ce {

namespace {

constexpr uint32_t kMixBlockAlign = 4;        // bytes of one mixed frame
constexpr uint32_t kSdlBufferFrames = 512;    // ~11.6 ms per SDL callback
constexpr uint32_t kClockChunkFrames = 1024;  // most frames the clock sink mixes at once
// The clock sink's wake-up: about an SDL device's period (kSdlBufferFrames),
// so that buffers finish as promptly as on a sound card. At 4 ms its wake-ups
// alone took about a fifth of the program's processor time in a menu.
constexpr auto kClockPeriod = std::chrono::milliseconds(10);
constexpr size_t kMaxIdleSynths = 4;
constexpr double kSynthGain = 0.6;
// Linear interpolation of the soundfont's samples rather than FluidSynth's
// fourth-order default: the synthesizer then takes about a quarter less
// processor time (a 20 s chord-and-drums pattern at 44.1 kHz: 2.0-2.6 % of a
// core instead of 2.7-3.0 %), while the output keeps its level (-0.05 dB) and
// loses only a trace of its top octave (the energy of its first difference
// -0.7 dB): the soundfont's samples hold little there. The menu's music, 12 s
// as played: level -0.2 dB, above about 2.7 kHz -0.6 dB.
constexpr int kSynthInterpolation = FLUID_INTERP_LINEAR;
// The most voices an unheard synthesizer keeps (see renderSynth).
constexpr int kSilentVoices = 32;

const char* const kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

// FluidSynth, loaded when the first MIDI device opens rather than linked:
// the library brings some 40 more shared libraries (JACK, PulseAudio, GLib,
// libsndfile with its codecs, ...) whose loading and constructors cost about
// 11 ms of processor time at every start, before the window's first frame,
// although many runs never play MIDI at all.
struct FluidApi {
    bool loaded = false;
    decltype(&::fluid_set_log_function) set_log_function = nullptr;
    decltype(&::new_fluid_settings) new_settings = nullptr;
    decltype(&::delete_fluid_settings) delete_settings = nullptr;
    decltype(&::fluid_settings_setnum) settings_setnum = nullptr;
    decltype(&::fluid_settings_setint) settings_setint = nullptr;
    decltype(&::new_fluid_synth) new_synth = nullptr;
    decltype(&::delete_fluid_synth) delete_synth = nullptr;
    decltype(&::fluid_synth_sfload) sfload = nullptr;
    decltype(&::fluid_synth_all_sounds_off) all_sounds_off = nullptr;
    decltype(&::fluid_synth_write_float) write_float = nullptr;
    decltype(&::fluid_synth_system_reset) system_reset = nullptr;
    decltype(&::fluid_synth_set_interp_method) set_interp_method = nullptr;
    decltype(&::fluid_synth_noteoff) noteoff = nullptr;
    decltype(&::fluid_synth_noteon) noteon = nullptr;
    decltype(&::fluid_synth_key_pressure) key_pressure = nullptr;
    decltype(&::fluid_synth_cc) cc = nullptr;
    decltype(&::fluid_synth_program_change) program_change = nullptr;
    decltype(&::fluid_synth_channel_pressure) channel_pressure = nullptr;
    decltype(&::fluid_synth_pitch_bend) pitch_bend = nullptr;
    decltype(&::fluid_synth_get_active_voice_count) get_active_voice_count = nullptr;
};

// The library's functions, or null when it cannot be loaded (MIDI then plays
// silently in time, as without a soundfont). Loaded once, never unloaded.
const FluidApi* fluid() {
    static const FluidApi* api = [] () -> const FluidApi* {
        ce::LibraryBinder bind({"libfluidsynth.so.3", "libfluidsynth.so"});
        if (!bind.loaded()) return nullptr;
        auto* f = new FluidApi;
        bind(f->set_log_function, "fluid_set_log_function");
        bind(f->new_settings, "new_fluid_settings");
        bind(f->delete_settings, "delete_fluid_settings");
        bind(f->settings_setnum, "fluid_settings_setnum");
        bind(f->settings_setint, "fluid_settings_setint");
        bind(f->new_synth, "new_fluid_synth");
        bind(f->delete_synth, "delete_fluid_synth");
        bind(f->sfload, "fluid_synth_sfload");
        bind(f->all_sounds_off, "fluid_synth_all_sounds_off");
        bind(f->write_float, "fluid_synth_write_float");
        bind(f->system_reset, "fluid_synth_system_reset");
        bind(f->set_interp_method, "fluid_synth_set_interp_method");
        bind(f->noteoff, "fluid_synth_noteoff");
        bind(f->noteon, "fluid_synth_noteon");
        bind(f->key_pressure, "fluid_synth_key_pressure");
        bind(f->cc, "fluid_synth_cc");
        bind(f->program_change, "fluid_synth_program_change");
        bind(f->channel_pressure, "fluid_synth_channel_pressure");
        bind(f->pitch_bend, "fluid_synth_pitch_bend");
        bind(f->get_active_voice_count, "fluid_synth_get_active_voice_count");
        if (!bind.complete()) {
            delete f;
            return nullptr;
        }
        return f;
    }();
    return api;
}

// A FluidSynth synthesizer with its soundfont loaded.
struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::string soundFont;
};

// A finished buffer (or a device message) to report once the lock is gone.
struct Notice {
    WaveOutDevice* device;
    uint32_t message;
    WAVEHDR* header;
};

}  // namespace

struct WaveOutDevice {
    WAVEFORMATEX format{};
    bool midi = false;
    double usPerTick = 0;  // MIDI: microseconds per tick
    WaveOutProc callback = nullptr;
    uintptr_t instance = 0;

    std::deque<WAVEHDR*> queue;
    bool current = false;    // the front buffer has begun playing
    uint32_t offset = 0;     // PCM: bytes of the front buffer played in this pass
    uint32_t loopsLeft = 0;  // passes of the front buffer still to play, this one included
    bool paused = false;
    uint32_t volume = 0xFFFFFFFFu;
    uint64_t positionBytes = 0;  // PCM: bytes played since open or reset
    uint64_t playedFrames = 0;   // MIDI: mixed frames with a buffer playing

    // PCM in another format than the mixer's: SDL converts it. The stream
    // is kept ahead of the mixer by its resampler's look-ahead; a buffer
    // wholly in the stream waits in `pending` until its last frame is heard.
    // When the queue runs dry, silence is put behind the last buffer to push
    // its end through the resampler; once that end has been heard the
    // stream starts afresh.
    SDL_AudioStream* stream = nullptr;
    bool padded = false;
    uint64_t sourcePut = 0;     // source frames put into the stream since it started afresh
    uint64_t mixedOut = 0;      // mixed frames taken out of it since then
    uint64_t positionBase = 0;  // bytes heard before that
    struct Pending {
        WAVEHDR* header;
        uint64_t endFrame;  // sourcePut after its last frame
    };
    std::deque<Pending> pending;

    // MIDI.
    Synth* synth = nullptr;  // null without a soundfont: silent, same timing
    uint32_t message = 0;    // index of the next message of the front buffer
    uint64_t passFrame = 0;  // frames of this pass already mixed
    double passUs = 0;       // time of the next message from the start of the pass
    uint64_t nextFrame = 0;  // frame of the next message from the start of the pass

    int callbacksRunning = 0;  // notices handed out and not yet returned
};

namespace {

using Clock = std::chrono::steady_clock;

// Lock order: g_output, then g_mixer. Neither is held while a callback runs.
std::mutex g_output;  // starting and stopping the output
std::mutex g_mixer;   // the devices and everything in them
std::condition_variable g_callbacksDone;
std::vector<WaveOutDevice*> g_devices;
std::vector<int32_t> g_accumulator;
std::vector<int16_t> g_scratch;
std::vector<float> g_floatScratch;
thread_local bool tl_inCallback = false;

// SDL keeps per-thread data (its error text) that it frees only for threads
// it made itself: a thread of ours that calls into SDL's audio gives it back
// when it ends.
struct SdlThreadData {
    bool used = false;
    ~SdlThreadData() {
        if (used) SDL_TLSCleanup();
    }
};
thread_local SdlThreadData tl_sdlThreadData;

void usingSdl() { tl_sdlThreadData.used = true; }

// The output (under g_output).
enum class Output { None, Sdl, ClockSink, Manual };
Output g_outputKind = Output::None;
bool g_manualClock = false;
SDL_AudioDeviceID g_sdlDevice = 0;
bool g_sdlInitialised = false;
std::string g_sdlDriver;
std::thread g_clockThread;
std::mutex g_clockMutex;
std::condition_variable g_clockWake;
bool g_clockStop = false;
std::atomic<int> g_openCount{0};

std::mutex g_hookMutex;
WaveOutCaptureHook g_captureHook = nullptr;
void* g_captureContext = nullptr;

std::mutex g_synthMutex;
// Never destroyed: the idle synthesizers stay reachable until the process
// ends (a leak checker at exit sees them held, not lost).
std::vector<Synth*>& g_idleSynths = *new std::vector<Synth*>;
bool g_soundFontSet = false;
std::string g_soundFontPath;

bool isLive(WaveOutDevice* device) {
    return device != nullptr && std::find(g_devices.begin(), g_devices.end(), device) != g_devices.end();
}

uint32_t gainOf(uint32_t volume16) { return volume16 + (volume16 >> 15); }  // 0xFFFF -> 65536

// --- synthesizers -------------------------------------------------------------

void quietFluidLog(int, const char*, void*) {}

bool fileExists(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string soundFontPathLocked() {
    if (g_soundFontSet) return g_soundFontPath;
    for (const char* candidate : kSoundFonts)
        if (fileExists(candidate)) return candidate;
    return std::string();
}

void destroySynth(Synth* synth) {
    if (!synth) return;
    // A synthesizer exists only once the library is loaded.
    if (synth->synth) fluid()->delete_synth(synth->synth);
    if (synth->settings) fluid()->delete_settings(synth->settings);
    delete synth;
}

// A synthesizer with the soundfont loaded, or null when there is none.
Synth* takeSynth() {
    std::string path;
    {
        std::lock_guard<std::mutex> lock(g_synthMutex);
        path = soundFontPathLocked();
        while (!g_idleSynths.empty()) {
            Synth* synth = g_idleSynths.back();
            g_idleSynths.pop_back();
            if (synth->soundFont == path) return synth;
            destroySynth(synth);
        }
    }
    if (!fileExists(path)) return nullptr;
    const FluidApi* f = fluid();
    if (f == nullptr) return nullptr;
    static std::once_flag quietOnce;
    std::call_once(quietOnce, [f] {
        f->set_log_function(FLUID_WARN, quietFluidLog, nullptr);
        f->set_log_function(FLUID_INFO, quietFluidLog, nullptr);
        f->set_log_function(FLUID_DBG, quietFluidLog, nullptr);
    });
    auto* synth = new Synth;
    synth->soundFont = path;
    synth->settings = f->new_settings();
    if (synth->settings) {
        f->settings_setnum(synth->settings, "synth.sample-rate", double(kWaveOutRate));
        f->settings_setnum(synth->settings, "synth.gain", kSynthGain);
        f->settings_setint(synth->settings, "synth.reverb.active", 0);
        f->settings_setint(synth->settings, "synth.chorus.active", 0);
        synth->synth = f->new_synth(synth->settings);
        if (synth->synth) f->set_interp_method(synth->synth, -1, kSynthInterpolation);
    }
    if (!synth->synth || f->sfload(synth->synth, path.c_str(), 1) == FLUID_FAILED) {
        destroySynth(synth);
        return nullptr;
    }
    return synth;
}

// Every note off at once, and programs and controllers as at the start. The
// synthesizer renders in blocks: what it has already rendered of the old
// notes is thrown away.
void silenceSynth(Synth* synth) {
    if (!synth) return;
    const FluidApi* f = fluid();
    f->all_sounds_off(synth->synth, -1);
    // The first block ends the voices, the second gives them back.
    float discard[2 * 64];
    for (int block = 0; block < 2; ++block) f->write_float(synth->synth, 64, discard, 0, 2, discard, 1, 2);
    f->system_reset(synth->synth);
    f->set_interp_method(synth->synth, -1, kSynthInterpolation);
}

void giveBackSynth(Synth* synth) {
    if (!synth) return;
    silenceSynth(synth);
    std::lock_guard<std::mutex> lock(g_synthMutex);
    if (g_idleSynths.size() >= kMaxIdleSynths || synth->soundFont != soundFontPathLocked()) {
        destroySynth(synth);
        return;
    }
    g_idleSynths.push_back(synth);
}

void sendMidi(Synth* synth, uint32_t message) {
    if (!synth) return;
    const FluidApi* f = fluid();
    fluid_synth_t* s = synth->synth;
    uint32_t status = message & 0xFF;
    int channel = int(status & 0x0F);
    int data1 = int((message >> 8) & 0x7F);
    int data2 = int((message >> 16) & 0x7F);
    switch (status & 0xF0) {
        case 0x80: f->noteoff(s, channel, data1); break;
        case 0x90:
            if (data2 == 0)
                f->noteoff(s, channel, data1);
            else
                f->noteon(s, channel, data1, data2);
            break;
        case 0xA0: f->key_pressure(s, channel, data1, data2); break;
        case 0xB0: f->cc(s, channel, data1, data2); break;
        case 0xC0: f->program_change(s, channel, data1); break;
        case 0xD0: f->channel_pressure(s, channel, data1); break;
        case 0xE0: f->pitch_bend(s, channel, data1 | (data2 << 7)); break;
        default: break;  // system messages and running-status data: not in a stream
    }
}

// --- mixing (g_mixer held) -------------------------------------------------------

// Adds stereo frames to the accumulator at the device's volume.
void addFrames(const WaveOutDevice& d, int32_t* acc, const int16_t* frames, uint32_t count) {
    uint32_t left = gainOf(d.volume & 0xFFFF);
    uint32_t right = gainOf(d.volume >> 16);
    if (left == 65536 && right == 65536) {
        for (uint32_t i = 0; i < count * 2; ++i) acc[i] += frames[i];
        return;
    }
    for (uint32_t i = 0; i < count; ++i) {
        acc[2 * i] += int32_t(frames[2 * i]) * int32_t(left) / 65536;
        acc[2 * i + 1] += int32_t(frames[2 * i + 1]) * int32_t(right) / 65536;
    }
}

// Makes the front buffer current: its first pass begins.
void beginBuffer(WaveOutDevice& d) {
    WAVEHDR* h = d.queue.front();
    d.current = true;
    d.offset = 0;
    bool looped = (h->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP)) == (WHDR_BEGINLOOP | WHDR_ENDLOOP);
    d.loopsLeft = looped ? std::max<uint32_t>(h->dwLoops, 1) : 1;
    d.message = 0;
    d.passFrame = 0;
    d.passUs = 0;
    d.nextFrame = 0;
}

void handBack(WaveOutDevice& d, WAVEHDR* h, std::vector<Notice>& notices) {
    h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    notices.push_back({&d, WOM_DONE, h});
}

// The front buffer has been played (or, through a conversion stream, wholly
// handed to the stream).
void finishBuffer(WaveOutDevice& d, std::vector<Notice>& notices) {
    WAVEHDR* h = d.queue.front();
    d.queue.pop_front();
    d.current = false;
    if (d.stream)
        d.pending.push_back({h, d.sourcePut});
    else
        handBack(d, h, notices);
}

// The current pass is over: the next one begins, or the buffer is finished.
// A pass that took no time ends the buffer whatever its loop count, so that
// an empty looping buffer cannot hold the mixer.
void endPass(WaveOutDevice& d, bool tookTime, std::vector<Notice>& notices) {
    if (d.loopsLeft > 1 && tookTime) {
        --d.loopsLeft;
        d.offset = 0;
        d.message = 0;
        d.passFrame = 0;
        d.passUs = 0;
        d.nextFrame = 0;
        return;
    }
    finishBuffer(d, notices);
}

uint32_t usableBytes(const WaveOutDevice& d, const WAVEHDR* h) {
    uint32_t align = d.format.nBlockAlign;
    return h->dwBufferLength - h->dwBufferLength % align;
}

// Takes up to `frames` source frames of the queue; each run goes to sink(data, frameCount).
template <class Sink>
void takeSourceFrames(WaveOutDevice& d, uint64_t frames, std::vector<Notice>& notices, Sink sink) {
    uint32_t align = d.format.nBlockAlign;
    while (frames > 0 && !d.queue.empty()) {
        if (!d.current) beginBuffer(d);
        WAVEHDR* h = d.queue.front();
        uint32_t usable = usableBytes(d, h);
        if (d.offset >= usable) {
            endPass(d, usable > 0, notices);
            continue;
        }
        uint32_t n = uint32_t(std::min<uint64_t>(frames, (usable - d.offset) / align));
        sink(reinterpret_cast<const uint8_t*>(h->lpData) + d.offset, n);
        d.offset += n * align;
        frames -= n;
        if (d.offset >= usable) endPass(d, true, notices);
    }
}

bool sameAsMix(const WAVEFORMATEX& f) {
    return f.nSamplesPerSec == kWaveOutRate && f.nChannels == 2 && f.wBitsPerSample == 16;
}

void mixPcm(WaveOutDevice& d, int32_t* acc, uint32_t frames, std::vector<Notice>& notices) {
    if (!d.stream) {
        uint32_t at = 0;
        takeSourceFrames(d, frames, notices, [&](const uint8_t* data, uint32_t n) {
            int16_t* scratch = g_scratch.data();
            std::memcpy(scratch, data, size_t(n) * kMixBlockAlign);
            addFrames(d, acc + 2 * at, scratch, n);
            d.positionBytes += uint64_t(n) * kMixBlockAlign;
            at += n;
        });
        return;
    }
    const uint64_t rate = d.format.nSamplesPerSec;
    const uint32_t align = d.format.nBlockAlign;
    const int wanted = int(frames * kMixBlockAlign);
    while (SDL_AudioStreamAvailable(d.stream) < wanted && !d.queue.empty()) {
        takeSourceFrames(d, uint64_t(frames) * rate / kWaveOutRate + 256, notices,
                         [&](const uint8_t* data, uint32_t n) {
                             SDL_AudioStreamPut(d.stream, data, int(n * align));
                             d.sourcePut += n;
                         });
        d.padded = false;
    }
    if (d.queue.empty() && !d.padded && d.sourcePut > 0) {
        // More than the resampler holds back at any rate.
        std::vector<uint8_t> silence(size_t(rate / 40 + 1024) * align, d.format.wBitsPerSample == 8 ? 0x80 : 0);
        SDL_AudioStreamPut(d.stream, silence.data(), int(silence.size()));
        d.padded = true;
    }
    int got = SDL_AudioStreamGet(d.stream, g_scratch.data(), wanted);
    if (got > 0) {
        addFrames(d, acc, g_scratch.data(), uint32_t(got) / kMixBlockAlign);
        d.mixedOut += uint32_t(got) / kMixBlockAlign;
    }
    uint64_t heard = std::min(d.sourcePut, d.mixedOut * rate / kWaveOutRate);
    const bool drained =
        d.queue.empty() && d.padded && (heard + 1 >= d.sourcePut || SDL_AudioStreamAvailable(d.stream) == 0);
    if (drained) heard = d.sourcePut;
    while (!d.pending.empty() && d.pending.front().endFrame <= heard) {
        handBack(d, d.pending.front().header, notices);
        d.pending.pop_front();
    }
    d.positionBytes = d.positionBase + heard * align;
    if (drained) {
        SDL_AudioStreamClear(d.stream);
        d.positionBase = d.positionBytes;
        d.sourcePut = 0;
        d.mixedOut = 0;
        d.padded = false;
    }
}

// `audible`: false where the block goes nowhere (the silent clock sink with
// no capture hook); the synthesizer then takes its messages but renders
// nothing, which is most of the cost of playing music.
void renderSynth(WaveOutDevice& d, int32_t* acc, uint32_t frames, bool audible) {
    if (!d.synth || frames == 0) return;
    const FluidApi* f = fluid();
    if (!audible) {
        // A voice ends only as it is rendered: unheard notes would fill the
        // synthesizer until it refused new ones. Past a handful they are
        // ended at once (cheaply: no voice is left to render).
        if (f->get_active_voice_count(d.synth->synth) > kSilentVoices) {
            f->all_sounds_off(d.synth->synth, -1);
            float discard[2 * 64];
            for (int block = 0; block < 2; ++block) f->write_float(d.synth->synth, 64, discard, 0, 2, discard, 1, 2);
        }
        return;
    }
    if (d.queue.empty() && f->get_active_voice_count(d.synth->synth) == 0) return;
    // Floats, turned into samples without dither, so that silence stays 0.
    float* rendered = g_floatScratch.data();
    f->write_float(d.synth->synth, int(frames), rendered, 0, 2, rendered, 1, 2);
    int16_t* scratch = g_scratch.data();
    for (uint32_t i = 0; i < frames * 2; ++i)
        scratch[i] = int16_t(std::clamp(std::lrint(rendered[i] * 32767.0f), -32768L, 32767L));
    addFrames(d, acc, scratch, frames);
}

void scheduleMessage(WaveOutDevice& d, const WAVEHDR* h) {
    WAVEFORMAT_MIDI_MESSAGE m;
    std::memcpy(&m, h->lpData + size_t(d.message) * sizeof m, sizeof m);
    d.passUs += double(m.DeltaTicks) * d.usPerTick;
    d.nextFrame = uint64_t(std::llround(d.passUs * kWaveOutRate / 1e6));
}

void mixMidi(WaveOutDevice& d, int32_t* acc, uint32_t frames, std::vector<Notice>& notices, bool audible) {
    uint32_t at = 0;
    while (at < frames) {
        if (d.queue.empty()) {
            renderSynth(d, acc + 2 * at, frames - at, audible);  // notes still dying away
            return;
        }
        WAVEHDR* h = d.queue.front();
        uint32_t count = h->dwBufferLength / sizeof(WAVEFORMAT_MIDI_MESSAGE);
        if (!d.current) {
            beginBuffer(d);
            if (count > 0) scheduleMessage(d, h);
        }
        while (d.message < count && d.nextFrame <= d.passFrame) {
            WAVEFORMAT_MIDI_MESSAGE m;
            std::memcpy(&m, h->lpData + size_t(d.message) * sizeof m, sizeof m);
            sendMidi(d.synth, m.MidiMsg);
            if (++d.message < count) scheduleMessage(d, h);
        }
        if (d.message >= count) {
            bool tookTime = d.passFrame > 0;
            endPass(d, tookTime, notices);
            if (!d.queue.empty() && d.current && d.message == 0 && count > 0) scheduleMessage(d, h);
            continue;
        }
        uint32_t n = uint32_t(std::min<uint64_t>(frames - at, d.nextFrame - d.passFrame));
        renderSynth(d, acc + 2 * at, n, audible);
        d.passFrame += n;
        d.playedFrames += n;
        at += n;
    }
}

// Mixes the frames of every playing device into out; collects the notices.
void mixLocked(int16_t* out, uint32_t frames, std::vector<Notice>& notices, bool audible) {
    if (g_accumulator.size() < size_t(frames) * 2) g_accumulator.resize(size_t(frames) * 2);
    if (g_scratch.size() < size_t(frames) * 2) g_scratch.resize(size_t(frames) * 2);
    if (g_floatScratch.size() < size_t(frames) * 2) g_floatScratch.resize(size_t(frames) * 2);
    int32_t* acc = g_accumulator.data();
    std::fill(acc, acc + size_t(frames) * 2, 0);
    for (WaveOutDevice* d : g_devices) {
        if (d->paused) continue;
        if (d->midi)
            mixMidi(*d, acc, frames, notices, audible);
        else
            mixPcm(*d, acc, frames, notices);
    }
    for (size_t i = 0; i < size_t(frames) * 2; ++i) out[i] = int16_t(std::clamp(acc[i], -32768, 32767));
    for (const Notice& n : notices) ++n.device->callbacksRunning;
}

// Runs the callbacks of the notices (no lock held), then returns them.
void deliver(const std::vector<Notice>& notices) {
    if (notices.empty()) return;
    bool outer = !tl_inCallback;
    tl_inCallback = true;
    for (const Notice& n : notices) {
        if (n.device->callback)
            n.device->callback(n.device, n.message, n.device->instance, reinterpret_cast<uintptr_t>(n.header), 0);
    }
    if (outer) tl_inCallback = false;
    std::lock_guard<std::mutex> lock(g_mixer);
    for (const Notice& n : notices) --n.device->callbacksRunning;
    g_callbacksDone.notify_all();
}

void capture(const int16_t* frames, uint32_t count) {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    if (g_captureHook) g_captureHook(g_captureContext, frames, count);
}

bool captureHooked() {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    return g_captureHook != nullptr;
}

// One block of output: mixed, its callbacks run, then shown to the capture
// hook. `heard`: false where nothing takes the output but a capture hook.
void renderBlock(int16_t* out, uint32_t frames, bool heard = true) {
    std::vector<Notice> notices;
    const bool audible = heard || captureHooked();
    {
        std::lock_guard<std::mutex> lock(g_mixer);
        mixLocked(out, frames, notices, audible);
    }
    deliver(notices);
    capture(out, frames);
}

// Waits (g_mixer held through `lock`) until no callback of the device runs,
// unless the caller is itself a callback.
void waitForCallbacks(std::unique_lock<std::mutex>& lock, WaveOutDevice* d) {
    if (tl_inCallback) return;
    g_callbacksDone.wait(lock, [d] { return d->callbacksRunning == 0; });
}

// Hands back every queued buffer and rewinds the device (g_mixer held).
void resetLocked(WaveOutDevice& d, std::vector<Notice>& notices) {
    for (const WaveOutDevice::Pending& p : d.pending) handBack(d, p.header, notices);
    d.pending.clear();
    for (WAVEHDR* h : d.queue) handBack(d, h, notices);
    d.queue.clear();
    for (const Notice& n : notices) ++n.device->callbacksRunning;
    d.current = false;
    d.offset = 0;
    d.positionBytes = 0;
    d.playedFrames = 0;
    d.padded = false;
    d.sourcePut = 0;
    d.mixedOut = 0;
    d.positionBase = 0;
    if (d.stream) SDL_AudioStreamClear(d.stream);
    silenceSynth(d.synth);
}

// --- output ------------------------------------------------------------------------

void sdlCallback(void*, Uint8* stream, int length) {
    renderBlock(reinterpret_cast<int16_t*>(stream), uint32_t(length) / kMixBlockAlign);
}

void clockLoop() {
    usingSdl();  // the mixer converts through SDL's audio streams
    std::vector<int16_t> block(size_t(kClockChunkFrames) * 2);
    const Clock::time_point start = Clock::now();
    uint64_t mixed = 0;
    std::unique_lock<std::mutex> lock(g_clockMutex);
    while (!g_clockStop) {
        auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        uint64_t due = uint64_t(elapsed) * kWaveOutRate / 1000000;
        while (mixed < due && !g_clockStop) {
            uint32_t n = uint32_t(std::min<uint64_t>(due - mixed, kClockChunkFrames));
            lock.unlock();
            renderBlock(block.data(), n, false);  // the clock sink is silent
            lock.lock();
            mixed += n;
        }
        g_clockWake.wait_for(lock, kClockPeriod, [] { return g_clockStop; });
    }
}

bool openSdlOutput() {
    usingSdl();
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        g_sdlInitialised = true;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver && std::strcmp(driver, "dummy") != 0) {
        SDL_AudioSpec want{};
        want.freq = int(kWaveOutRate);
        want.format = AUDIO_S16SYS;
        want.channels = uint8_t(kWaveOutChannels);
        want.samples = uint16_t(kSdlBufferFrames);
        want.callback = sdlCallback;
        SDL_AudioSpec have{};
        g_sdlDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (g_sdlDevice != 0) {
            g_sdlDriver = driver;
            SDL_PauseAudioDevice(g_sdlDevice, 0);
            return true;
        }
    }
    if (g_sdlInitialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_sdlInitialised = false;
    }
    return false;
}

// Starts the output (g_output held).
void startOutputLocked() {
    if (g_outputKind != Output::None) return;
    if (g_manualClock) {
        g_outputKind = Output::Manual;
        return;
    }
    if (openSdlOutput()) {
        g_outputKind = Output::Sdl;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(g_clockMutex);
        g_clockStop = false;
    }
    g_clockThread = std::thread(clockLoop);
    g_outputKind = Output::ClockSink;
}

// Stops the output and its thread (g_output held, g_mixer not held).
void stopOutputLocked() {
    usingSdl();
    switch (g_outputKind) {
        case Output::Sdl:
            SDL_CloseAudioDevice(g_sdlDevice);
            g_sdlDevice = 0;
            g_sdlDriver.clear();
            if (g_sdlInitialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
            g_sdlInitialised = false;
            break;
        case Output::ClockSink: {
            {
                std::lock_guard<std::mutex> lock(g_clockMutex);
                g_clockStop = true;
            }
            g_clockWake.notify_all();
            if (g_clockThread.joinable()) g_clockThread.join();
            break;
        }
        case Output::Manual:
        case Output::None: break;
    }
    g_outputKind = Output::None;
}

bool validPcm(const WAVEFORMATEX& f) {
    if (f.nChannels < 1 || f.nChannels > 2) return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
    if (f.nSamplesPerSec < 1000 || f.nSamplesPerSec > 192000) return false;
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return false;
    return f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

void destroyDevice(WaveOutDevice* d) {
    if (d->stream) SDL_FreeAudioStream(d->stream);
    giveBackSynth(d->synth);
    delete d;
}

void notify(WaveOutDevice* d, uint32_t message) {
    if (!d->callback) return;
    bool outer = !tl_inCallback;
    tl_inCallback = true;
    d->callback(d, message, d->instance, 0, 0);
    if (outer) tl_inCallback = false;
}

// Runs fn on a live device with g_mixer held; MMSYSERR_INVALHANDLE otherwise.
template <class Fn>
MMRESULT withDevice(HWAVEOUT device, Fn fn) {
    std::lock_guard<std::mutex> lock(g_mixer);
    if (!isLive(device)) return MMSYSERR_INVALHANDLE;
    return fn(*device);
}

}  // namespace

// --- the wave-out functions ----------------------------------------------------------

uint32_t waveOutGetNumDevs() { return 1; }

MMRESULT waveOutOpen(HWAVEOUT* device, uint32_t deviceId, const WAVEFORMATEX* format, uintptr_t callback,
                     uintptr_t instance, uint32_t flags) {
    if (device == nullptr || format == nullptr) return MMSYSERR_INVALPARAM;
    *device = nullptr;
    if (deviceId != WAVE_MAPPER && deviceId != 0) return MMSYSERR_BADDEVICEID;
    if (flags != CALLBACK_NULL && flags != CALLBACK_FUNCTION) return MMSYSERR_INVALFLAG;
    if (flags == CALLBACK_FUNCTION && callback == 0) return MMSYSERR_INVALPARAM;

    auto* d = new WaveOutDevice;
    d->format = *format;
    if (format->wFormatTag == WAVE_FORMAT_PCM) {
        if (!validPcm(*format)) {
            delete d;
            return WAVERR_BADFORMAT;
        }
        if (!sameAsMix(*format)) {
            usingSdl();
            d->stream = SDL_NewAudioStream(format->wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB,
                                           uint8_t(format->nChannels), int(format->nSamplesPerSec), AUDIO_S16SYS,
                                           uint8_t(kWaveOutChannels), int(kWaveOutRate));
            if (!d->stream) {
                delete d;
                return MMSYSERR_NOMEM;
            }
        }
    } else if (format->wFormatTag == WAVE_FORMAT_MIDI) {
        if (format->cbSize < 8) {
            delete d;
            return WAVERR_BADFORMAT;
        }
        // The tempo follows the wave format (a WAVEFORMAT_MIDI).
        uint32_t tempo[2];
        std::memcpy(tempo, reinterpret_cast<const unsigned char*>(format) + sizeof(WAVEFORMATEX), sizeof tempo);
        if (tempo[0] == 0 || tempo[1] == 0) {
            delete d;
            return WAVERR_BADFORMAT;
        }
        d->midi = true;
        d->usPerTick = double(tempo[0]) / double(tempo[1]);
        d->synth = takeSynth();
    } else {
        delete d;
        return WAVERR_BADFORMAT;
    }
    d->callback = flags == CALLBACK_FUNCTION ? reinterpret_cast<WaveOutProc>(callback) : nullptr;
    d->instance = instance;
    {
        std::lock_guard<std::mutex> outputLock(g_output);
        startOutputLocked();
        std::lock_guard<std::mutex> lock(g_mixer);
        g_devices.push_back(d);
        g_openCount.store(int(g_devices.size()));
    }
    *device = d;
    notify(d, WOM_OPEN);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device) {
    std::vector<Notice> notices;
    {
        std::lock_guard<std::mutex> outputLock(g_output);
        {
            std::unique_lock<std::mutex> lock(g_mixer);
            if (!isLive(device)) return MMSYSERR_INVALHANDLE;
            g_devices.erase(std::find(g_devices.begin(), g_devices.end(), device));
            g_openCount.store(int(g_devices.size()));
            resetLocked(*device, notices);
            for (size_t i = 0; i < notices.size(); ++i) --device->callbacksRunning;
            waitForCallbacks(lock, device);
        }
        // A device closed from inside a callback leaves the output running:
        // the thread that runs the callback cannot stop itself.
        if (g_devices.empty() && !tl_inCallback) stopOutputLocked();
    }
    bool outer = !tl_inCallback;
    tl_inCallback = true;
    for (const Notice& n : notices)
        if (device->callback)
            device->callback(device, WOM_DONE, device->instance, reinterpret_cast<uintptr_t>(n.header), 0);
    if (outer) tl_inCallback = false;
    notify(device, WOM_CLOSE);
    destroyDevice(device);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t size) {
    if (header == nullptr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return withDevice(device, [&](WaveOutDevice&) {
        if (header->lpData == nullptr && header->dwBufferLength > 0) return MMSYSERR_INVALPARAM;
        header->dwFlags |= WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t size) {
    if (header == nullptr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return withDevice(device, [&](WaveOutDevice&) {
        if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        header->dwFlags &= ~WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, uint32_t size) {
    if (header == nullptr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return withDevice(device, [&](WaveOutDevice& d) {
        if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
        if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        d.queue.push_back(header);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutPause(HWAVEOUT device) {
    return withDevice(device, [](WaveOutDevice& d) {
        d.paused = true;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutRestart(HWAVEOUT device) {
    return withDevice(device, [](WaveOutDevice& d) {
        d.paused = false;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutReset(HWAVEOUT device) {
    std::vector<Notice> notices;
    {
        std::unique_lock<std::mutex> lock(g_mixer);
        if (!isLive(device)) return MMSYSERR_INVALHANDLE;
        waitForCallbacks(lock, device);
        resetLocked(*device, notices);
    }
    deliver(notices);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetPosition(HWAVEOUT device, MMTIME* time, uint32_t size) {
    if (time == nullptr || size < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    return withDevice(device, [&](WaveOutDevice& d) {
        uint64_t bytes = d.midi ? d.playedFrames * d.format.nAvgBytesPerSec / kWaveOutRate : d.positionBytes;
        time->wType = TIME_BYTES;
        time->u.cb = uint32_t(bytes);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutGetVolume(HWAVEOUT device, uint32_t* volume) {
    if (volume == nullptr) return MMSYSERR_INVALPARAM;
    return withDevice(device, [&](WaveOutDevice& d) {
        *volume = d.volume;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutSetVolume(HWAVEOUT device, uint32_t volume) {
    return withDevice(device, [&](WaveOutDevice& d) {
        d.volume = volume;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutGetDevCaps(uintptr_t deviceId, WAVEOUTCAPS* caps, uint32_t size) {
    if (caps == nullptr || size < sizeof(WAVEOUTCAPS)) return MMSYSERR_INVALPARAM;
    if (deviceId != 0 && deviceId != WAVE_MAPPER) {
        std::lock_guard<std::mutex> lock(g_mixer);
        if (!isLive(reinterpret_cast<WaveOutDevice*>(deviceId))) return MMSYSERR_BADDEVICEID;
    }
    *caps = WAVEOUTCAPS{};
    const char name[] = "Vessilo wave-out";
    for (size_t i = 0; i + 1 < sizeof name; ++i) caps->szPname[i] = char16_t(name[i]);
    caps->vDriverVersion = 0x0100;
    caps->dwFormats = 0xFFF;  // 11, 22 and 44 kHz, 8 and 16 bits, mono and stereo
    caps->wChannels = 2;
    caps->dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME | WAVECAPS_SAMPLEACCURATE;
    return MMSYSERR_NOERROR;
}

// --- the mixer ------------------------------------------------------------------------

void WaveOutSetCaptureHook(WaveOutCaptureHook hook, void* context) {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_captureHook = hook;
    g_captureContext = context;
}

bool WaveOutSetManualClock(bool manual) {
    std::lock_guard<std::mutex> outputLock(g_output);
    {
        std::lock_guard<std::mutex> lock(g_mixer);
        if (!g_devices.empty()) return manual == g_manualClock;
    }
    if (manual != g_manualClock) stopOutputLocked();
    g_manualClock = manual;
    return true;
}

bool WaveOutRender(int16_t* out, size_t frameCount) {
    {
        std::lock_guard<std::mutex> outputLock(g_output);
        if (!g_manualClock) return false;
    }
    std::vector<int16_t> own;
    if (out == nullptr) {
        own.resize(std::min<size_t>(frameCount, kClockChunkFrames) * 2);
    }
    size_t done = 0;
    while (done < frameCount) {
        uint32_t n = uint32_t(std::min<size_t>(frameCount - done, kClockChunkFrames));
        renderBlock(out ? out + done * 2 : own.data(), n);
        done += n;
    }
    return true;
}

void WaveOutSetSoundFontPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_synthMutex);
    g_soundFontSet = true;
    g_soundFontPath = path;
}

std::string WaveOutSoundFontPath() {
    std::lock_guard<std::mutex> lock(g_synthMutex);
    return soundFontPathLocked();
}

bool WaveOutHasSoundFont() { return fileExists(WaveOutSoundFontPath()); }

int WaveOutOpenDeviceCount() { return g_openCount.load(); }

bool WaveOutOutputRunning() {
    std::lock_guard<std::mutex> outputLock(g_output);
    return g_outputKind == Output::Sdl || g_outputKind == Output::ClockSink;
}

std::string WaveOutOutputName() {
    std::lock_guard<std::mutex> outputLock(g_output);
    switch (g_outputKind) {
        case Output::Sdl: return "sdl:" + g_sdlDriver;
        case Output::ClockSink: return "clock";
        case Output::Manual: return "manual";
        case Output::None: break;
    }
    return std::string();
}

void WaveOutShutdown() {
    {
        std::lock_guard<std::mutex> outputLock(g_output);
        bool empty;
        {
            std::lock_guard<std::mutex> lock(g_mixer);
            empty = g_devices.empty();
        }
        if (empty) stopOutputLocked();
    }
    std::lock_guard<std::mutex> lock(g_synthMutex);
    for (Synth* synth : g_idleSynths) destroySynth(synth);
    g_idleSynths.clear();
}

}  // namespace ce
