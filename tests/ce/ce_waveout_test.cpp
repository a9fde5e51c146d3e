// The wave-out stand-in: buffers in order with their loops, pause, restart,
// reset, volume, positions and the done callback, PCM conversion, MIDI
// streams, and the clock-driven sink.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <optional>
#include <thread>

#include "audio_test.h"
#include "ce_waveout.h"

#include <cstring>

using namespace ce;
using soundfiles::countingStereo;

namespace {

// A device whose callback counts the buffers that came back. It keeps the
// buffers it plays, and closes before they go.
struct Device {
    HWAVEOUT handle = nullptr;
    std::mutex mutex;
    std::vector<WAVEHDR*> done;
    uint32_t positionInCallback = ~0u;
    std::deque<std::vector<int16_t>> buffers;
    std::deque<WAVEHDR> headers;

    static void callback(HWAVEOUT h, uint32_t message, uintptr_t instance, uintptr_t param, uintptr_t) {
        if (message != WOM_DONE) return;
        auto* self = reinterpret_cast<Device*>(instance);
        MMTIME time;
        waveOutGetPosition(h, &time, sizeof time);  // would never return if the mixer's lock were held
        std::lock_guard<std::mutex> lock(self->mutex);
        self->positionInCallback = time.u.cb;
        self->done.push_back(reinterpret_cast<WAVEHDR*>(param));
    }
    MMRESULT open(const WAVEFORMATEX& format) {
        return waveOutOpen(&handle, WAVE_MAPPER, &format, reinterpret_cast<uintptr_t>(callback),
                           reinterpret_cast<uintptr_t>(this), CALLBACK_FUNCTION);
    }
    // A buffer over a copy of the bytes of the samples (not yet queued).
    WAVEHDR& header(std::vector<int16_t> samples, uint32_t loops = 0) {
        buffers.push_back(std::move(samples));
        WAVEHDR& h = headers.emplace_back();
        h.lpData = reinterpret_cast<char*>(buffers.back().data());
        h.dwBufferLength = uint32_t(buffers.back().size() * 2);
        if (loops) {
            h.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
            h.dwLoops = loops;
        }
        return h;
    }
    // The same, prepared and queued.
    WAVEHDR& write(std::vector<int16_t> samples, uint32_t loops = 0) {
        WAVEHDR& h = header(std::move(samples), loops);
        EXPECT_EQ(waveOutPrepareHeader(handle, &h, sizeof h), MMSYSERR_NOERROR);
        EXPECT_EQ(waveOutWrite(handle, &h, sizeof h), MMSYSERR_NOERROR);
        return h;
    }
    size_t doneCount() {
        std::lock_guard<std::mutex> lock(mutex);
        return done.size();
    }
    uint32_t position() {
        MMTIME time;
        EXPECT_EQ(waveOutGetPosition(handle, &time, sizeof time), MMSYSERR_NOERROR);
        return time.u.cb;
    }
    ~Device() {
        if (handle) waveOutClose(handle);
    }
};

WAVEFORMATEX pcm(uint16_t channels = 2, uint32_t rate = 44100, uint16_t bits = 16) {
    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = uint16_t(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

WAVEFORMAT_MIDI midiFormat(uint32_t usPerQuarter, uint32_t ticksPerQuarter) {
    WAVEFORMAT_MIDI f;
    f.wfx = WAVEFORMATEX{WAVE_FORMAT_MIDI, 1, 32, 32, 8, 16, WAVE_FORMAT_MIDI_EXTRASIZE};
    f.USecPerQuarterNote = usPerQuarter;
    f.TicksPerQuarterNote = ticksPerQuarter;
    return f;
}

std::vector<int16_t> slice(const std::vector<int16_t>& v, size_t fromFrame, size_t frames) {
    return std::vector<int16_t>(v.begin() + fromFrame * 2, v.begin() + (fromFrame + frames) * 2);
}

class WaveOutTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WaveOutSetManualClock(true)); }
    AudioCapture capture;
};

TEST_F(WaveOutTest, BuffersPlayInOrderWithTheirLoopsAndComeBackDone) {
    Device d;
    ASSERT_EQ(d.open(pcm()), MMSYSERR_NOERROR);
    std::vector<int16_t> a = countingStereo(100), b = {7, -7, 8, -8};
    WAVEHDR& ha = d.write(a, 3);
    WAVEHDR& hb = d.write(b);
    std::vector<int16_t> out = capture.render(310);
    for (int pass = 0; pass < 3; ++pass) EXPECT_EQ(slice(out, 100 * pass, 100), a) << "pass " << pass;
    EXPECT_EQ(slice(out, 300, 2), b);
    EXPECT_EQ(nonZeroSamples(slice(out, 302, 8)), 0u);
    ASSERT_EQ(d.done, (std::vector<WAVEHDR*>{&ha, &hb}));
    EXPECT_EQ(d.positionInCallback, 302u * 4);
    EXPECT_TRUE(ha.dwFlags & WHDR_DONE);
    EXPECT_FALSE(ha.dwFlags & WHDR_INQUEUE);
    EXPECT_EQ(d.position(), 302u * 4);
}

TEST_F(WaveOutTest, PauseHoldsTheBufferWhereItIsAndRestartGoesOn) {
    Device d;
    ASSERT_EQ(d.open(pcm()), MMSYSERR_NOERROR);
    std::vector<int16_t> a = countingStereo(300);
    d.write(a);
    std::vector<int16_t> first = capture.render(100);
    ASSERT_EQ(waveOutPause(d.handle), MMSYSERR_NOERROR);
    EXPECT_EQ(nonZeroSamples(capture.render(100)), 0u);
    EXPECT_EQ(d.position(), 400u);
    ASSERT_EQ(waveOutRestart(d.handle), MMSYSERR_NOERROR);
    std::vector<int16_t> rest = capture.render(200);
    first.insert(first.end(), rest.begin(), rest.end());
    EXPECT_EQ(first, a);
    EXPECT_EQ(d.doneCount(), 1u);
}

TEST_F(WaveOutTest, ResetHandsEveryBufferBackAndStartsTheCountAgain) {
    Device d;
    ASSERT_EQ(d.open(pcm()), MMSYSERR_NOERROR);
    WAVEHDR& ha = d.write(countingStereo(100));
    WAVEHDR& hb = d.write(countingStereo(100));
    capture.render(50);
    ASSERT_EQ(waveOutReset(d.handle), MMSYSERR_NOERROR);
    EXPECT_EQ(d.done, (std::vector<WAVEHDR*>{&ha, &hb}));  // on this thread, before reset returned
    EXPECT_EQ(d.position(), 0u);
    EXPECT_EQ(nonZeroSamples(capture.render(100)), 0u);
    EXPECT_EQ(waveOutUnprepareHeader(d.handle, &ha, sizeof ha), MMSYSERR_NOERROR);
}

TEST_F(WaveOutTest, VolumeScalesEachChannelAndDevicesAddUpWithinRange) {
    Device d, e;
    ASSERT_EQ(d.open(pcm()), MMSYSERR_NOERROR);
    ASSERT_EQ(e.open(pcm()), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutSetVolume(d.handle, 0xFFFF8000u), MMSYSERR_NOERROR);  // left half, right full
    uint32_t volume = 0;
    ASSERT_EQ(waveOutGetVolume(d.handle, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFF8000u);
    d.write({10000, 10000, -20000, -20000});
    e.write({20000, 20000, -20000, -20000});
    EXPECT_EQ(capture.render(2), (std::vector<int16_t>{5000 + 20000, 10000 + 20000, -10000 - 20000, -32768}));
}

TEST_F(WaveOutTest, OtherPcmFormatsAreConvertedAtTheirOwnPace) {
    struct Case {
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
    };
    for (Case c : {Case{1, 22050, 8}, Case{1, 44100, 16}, Case{2, 11025, 16}, Case{2, 48000, 16}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.rate << " Hz, " << c.bits << " bits");
        Device d;
        WAVEFORMATEX f = pcm(c.channels, c.rate, c.bits);
        ASSERT_EQ(d.open(f), MMSYSERR_NOERROR);
        // 0.1 s of a constant that is not silence, in 16-bit words
        const uint16_t word = c.bits == 8 ? 0xC0C0 : 0x4040;
        std::vector<int16_t> words(f.nAvgBytesPerSec / 10 / 2, int16_t(word));
        d.write(words);
        EXPECT_GT(nonZeroSamples(capture.render(4400)), 2u * 4300);  // just under 0.1 s
        EXPECT_EQ(d.doneCount(), 0u);
        capture.render(4410);
        EXPECT_EQ(d.doneCount(), 1u);
        EXPECT_EQ(d.position(), words.size() * 2 / f.nBlockAlign * f.nBlockAlign);  // whole frames
        EXPECT_EQ(nonZeroSamples(capture.render(100)), 0u);
    }
}

TEST_F(WaveOutTest, MisuseIsRefusedWithTheDeviceErrors) {
    Device d;
    ASSERT_EQ(d.open(pcm()), MMSYSERR_NOERROR);
    WAVEHDR& h = d.header(countingStereo(10));
    EXPECT_EQ(waveOutWrite(d.handle, &h, sizeof h), WAVERR_UNPREPARED);
    ASSERT_EQ(waveOutPrepareHeader(d.handle, &h, sizeof h), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(d.handle, &h, sizeof h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(d.handle, &h, sizeof h), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(d.handle, &h, sizeof h), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutPrepareHeader(d.handle, nullptr, sizeof h), MMSYSERR_INVALPARAM);

    HWAVEOUT other = nullptr;
    WAVEFORMATEX bad[] = {pcm(3), pcm(2, 44100, 24), pcm(1, 500), pcm(), pcm(), pcm()};
    bad[3].wFormatTag = 3;   // float samples
    bad[4].nBlockAlign = 2;  // disagrees with the channels and bits
    bad[5].nAvgBytesPerSec = 1;
    for (const WAVEFORMATEX& f : bad)
        EXPECT_EQ(waveOutOpen(&other, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    WAVEFORMAT_MIDI noTempo = midiFormat(0, 96);
    EXPECT_EQ(waveOutOpen(&other, WAVE_MAPPER, &noTempo.wfx, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    WAVEFORMATEX good = pcm();
    EXPECT_EQ(waveOutOpen(&other, 3, &good, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    ASSERT_EQ(waveOutOpen(&other, 0, &good, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    WAVEOUTCAPS caps;
    EXPECT_EQ(waveOutGetDevCaps(reinterpret_cast<uintptr_t>(other), &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_EQ(caps.dwSupport & (WAVECAPS_VOLUME | WAVECAPS_LRVOLUME), WAVECAPS_VOLUME | WAVECAPS_LRVOLUME);
    ASSERT_EQ(waveOutClose(other), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(other), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutPause(other), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutGetDevCaps(reinterpret_cast<uintptr_t>(other), &caps, sizeof caps), MMSYSERR_BADDEVICEID);
}

TEST_F(WaveOutTest, AnEmptyBufferLoopingWithoutEndDoesNotHoldTheMixer) {
    for (bool midi : {false, true}) {
        Device d;
        WAVEFORMAT_MIDI m = midiFormat(1000, 1);
        if (!midi) m.wfx = pcm();
        ASSERT_EQ(d.open(m.wfx), MMSYSERR_NOERROR);
        d.write({}, 0xFFFFFFFFu);
        capture.render(10);
        EXPECT_EQ(d.doneCount(), 1u) << (midi ? "MIDI" : "PCM");
    }
}

// One note of 100 ticks of 1 ms on a MIDI stream device.
std::vector<int16_t> noteMessages(uint32_t ticks) {
    std::vector<WAVEFORMAT_MIDI_MESSAGE> m = {{0, 0x0000C0}, {0, 0x7F3C90}, {ticks, 0x003C80}};
    std::vector<int16_t> words(m.size() * sizeof m[0] / 2);
    std::memcpy(words.data(), m.data(), m.size() * sizeof m[0]);
    return words;
}

TEST_F(WaveOutTest, MidiStreamsKeepTheirTimingWithOrWithoutASoundfont) {
    const std::string soundFont = WaveOutSoundFontPath();
    for (bool withSoundFont : {true, false}) {
        if (withSoundFont && !WaveOutHasSoundFont()) continue;  // the package is not installed here
        SCOPED_TRACE(withSoundFont ? "soundfont" : "silent");
        WaveOutSetSoundFontPath(withSoundFont ? soundFont : "");
        Device d;
        ASSERT_EQ(d.open(midiFormat(96000, 96).wfx), MMSYSERR_NOERROR);
        d.write(noteMessages(100));
        std::vector<int16_t> out = capture.render(4400);  // 99.8 ms
        EXPECT_EQ(d.doneCount(), 0u);
        if (withSoundFont)
            EXPECT_GT(nonZeroSamples(out), 1000u);
        else
            EXPECT_EQ(nonZeroSamples(out), 0u);
        capture.render(20);
        EXPECT_EQ(d.doneCount(), 1u);
        EXPECT_EQ(d.position(), 4410u * 32 / 44100);
    }
    WaveOutSetSoundFontPath(soundFont);
}

TEST_F(WaveOutTest, PausingOrResettingAMidiStreamSilencesItAtOnce) {
    if (!WaveOutHasSoundFont()) GTEST_SKIP() << "no General MIDI soundfont (timgm6mb-soundfont)";
    for (bool reset : {false, true}) {
        Device d;
        ASSERT_EQ(d.open(midiFormat(96000, 96).wfx), MMSYSERR_NOERROR);
        d.write(noteMessages(5000));  // a long note
        ASSERT_GT(nonZeroSamples(capture.render(2000)), 1000u);
        ASSERT_EQ(reset ? waveOutReset(d.handle) : waveOutPause(d.handle), MMSYSERR_NOERROR);
        EXPECT_EQ(nonZeroSamples(capture.render(2000)), 0u) << (reset ? "reset" : "pause");
    }
}

TEST(WaveOutClockTest, WithoutAHandDrivenClockBuffersFinishInTimeAndNoThreadIsLeftBehind) {
    ASSERT_TRUE(WaveOutSetManualClock(false));
    const int threadsBefore = threadCount();
    {
        Device d;
        ASSERT_EQ(d.open(pcm()), MMSYSERR_NOERROR);
        EXPECT_TRUE(WaveOutOutputRunning());
        std::string name = WaveOutOutputName();
        EXPECT_TRUE(name == "clock" || name.rfind("sdl:", 0) == 0) << name;
        const auto start = std::chrono::steady_clock::now();
        d.write(countingStereo(4410));  // 0.1 s
        while (d.doneCount() == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_EQ(d.doneCount(), 1u);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
        EXPECT_EQ(d.position(), 4410u * 4);
    }
    EXPECT_FALSE(WaveOutOutputRunning());
    EXPECT_EQ(WaveOutOutputName(), "");
    EXPECT_EQ(threadCount(), threadsBefore);
}

}  // namespace

namespace {

// The clock sink renders the synthesizer only for a capture hook (nothing
// else hears it); MIDI keeps its timing either way.
TEST(WaveOutClockTest, TheSilentSinkRendersMidiOnlyForACaptureHookAndKeepsItsTiming) {
    if (!WaveOutHasSoundFont()) GTEST_SKIP() << "no General MIDI soundfont (timgm6mb-soundfont)";
    ASSERT_TRUE(WaveOutSetManualClock(false));
    for (bool hooked : {true, false}) {
        SCOPED_TRACE(hooked ? "capture hook" : "no hook");
        std::optional<AudioCapture> capture;
        if (hooked) capture.emplace();
        Device d;
        ASSERT_EQ(d.open(midiFormat(96000, 96).wfx), MMSYSERR_NOERROR);
        if (WaveOutOutputName() != "clock") {
            GTEST_SKIP() << "a sound card plays here: " << WaveOutOutputName();
        }
        const auto start = std::chrono::steady_clock::now();
        d.write(noteMessages(96));  // 96 ms
        while (d.doneCount() == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_EQ(d.doneCount(), 1u);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
        if (hooked) {
            EXPECT_GT(nonZeroSamples(capture->take()), 1000u);
        }
    }
}

}  // namespace
