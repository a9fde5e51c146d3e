// Audio players of the platform layer: the WAV and MIDI readers, playing,
// looping, restarting, media time, volume, locators, the open-player list
// and the hand-over of the finished state from the device's thread.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <thread>

#include "audio_test.h"
#include "hal_audio.h"
#include "hal_host.h"
#include "program_dir.h"

using namespace soundfiles;

namespace {

struct Event {
    HAL_Player* player;
    int32_t event;
};
std::mutex g_eventsMutex;
std::vector<Event> g_events;

void recordEvent(void*, HAL_Player* player, int32_t event, uint32_t, uint32_t, int32_t) {
    std::lock_guard<std::mutex> lock(g_eventsMutex);
    g_events.push_back({player, event});
}

class HalAudioTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ce::WaveOutSetManualClock(true)); }
    void TearDown() override {
        HAL_setPlayerEventHook(nullptr, nullptr);
        while (HAL_getOpenPlayerCount() > 0) ASSERT_EQ(HAL_closePlayer(HAL_getOpenPlayer(0)), HAL_OK);
    }
    HAL_Player* make(const Bytes& file, int32_t code = HAL_CONTENT_WAV, int32_t loops = 0) {
        HAL_Player* player = nullptr;
        EXPECT_EQ(HAL_createPlayerWithData(&player, file.data(), int32_t(file.size()), code, loops), HAL_OK);
        return player;
    }
    int32_t state(HAL_Player* player) {
        int32_t s = -1;
        EXPECT_EQ(HAL_getPlayerState(&s, player), HAL_OK);
        return s;
    }
    int64_t mediaTime(HAL_Player* player) {
        int64_t t = -1;
        EXPECT_EQ(HAL_getPlayerMediaTime(&t, player), HAL_OK);
        return t;
    }
    AudioCapture capture;
};

// The number of whole passes of `sound` at the start of `out`, then silence.
int passesOf(const std::vector<int16_t>& out, const std::vector<int16_t>& sound) {
    size_t at = 0;
    int passes = 0;
    while (at + sound.size() <= out.size() && std::equal(sound.begin(), sound.end(), out.begin() + at)) {
        at += sound.size();
        ++passes;
    }
    for (; at < out.size(); ++at)
        if (out[at] != 0) return -1;
    return passes;
}

TEST(HalWaveReaderTest, ReadsPcmChunksInAnyLayoutAndRefusesTheRest) {
    const Bytes fmt = chunk("fmt ", formatBody(1, 2, 44100, 16));
    struct Case {
        const char* name;
        Bytes file;
        int status;
        uint32_t offset = 0, length = 0;
    };
    Bytes fmtCut = fmt;
    fmtCut.resize(20);
    const Case cases[] = {
        {"canonical", wav(Bytes(8, 1)), HAL_OK, 44, 8},
        {"odd chunk first", riff({chunk("LIST", {1, 2, 3}), fmt, chunk("data", Bytes(4, 1))}), HAL_OK, 56, 4},
        {"data after its file", riff({fmt, chunk("data", Bytes(8, 1), 1000)}), HAL_OK, 44, 8},
        {"part of a frame", wav(Bytes(7, 1)), HAL_OK, 44, 4},
        {"mono 8 bits", wav(Bytes(5, 0x90), 1, 11025, 8), HAL_OK, 44, 5},
        {"too short", Bytes{'R', 'I', 'F', 'F'}, HAL_FAILED},
        {"not RIFF",
         [] {
             Bytes b = wav(Bytes(8, 1));
             b[3] = 'X';
             return b;
         }(),
         HAL_FAILED},
        {"no format", riff({chunk("data", Bytes(8, 1))}), HAL_FAILED},
        {"no data", riff({fmt}), HAL_FAILED},
        {"format too short", riff({chunk("fmt ", Bytes(14, 1)), chunk("data", Bytes(8, 1))}), HAL_FAILED},
        {"format cut off", riff({fmtCut}), HAL_FAILED},
        {"no channels", wav(Bytes(8, 1), 0), HAL_FAILED},
        {"three channels", wav(Bytes(8, 1), 3), HAL_FAILED},
        {"no bits", wav(Bytes(8, 1), 2, 44100, 0), HAL_FAILED},
        {"24 bits", wav(Bytes(8, 1), 2, 44100, 24), HAL_FAILED},
        {"no rate", wav(Bytes(8, 1), 2, 0), HAL_FAILED},
        {"float samples", riff({chunk("fmt ", formatBody(3, 2, 44100, 32)), chunk("data", Bytes(8, 1))}), HAL_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HAL_WaveInfo info;
        ASSERT_EQ(HAL_readWaveInfo(c.file.data(), c.file.size(), &info), c.status);
        if (c.status != HAL_OK) continue;
        EXPECT_EQ(info.dataOffset, c.offset);
        EXPECT_EQ(info.dataLength, c.length);
    }
}

TEST(HalMidiReaderTest, KeepsChannelEventsAndSkipsTheRestByTheirLength) {
    using E = HAL_MidiEvent;
    struct Case {
        const char* name;
        Bytes track;
        std::vector<E> events;  // empty: refused
    };
    const Case cases[] = {
        {"running status, note-off, one-byte program change",
         {0x00, 0xC0, 0x05, 0x00, 0x90, 60, 100, 0x10, 64, 100, 0x20, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00},
         {{0, 0xC0, 5, 0}, {0, 0x90, 60, 100}, {16, 0x90, 64, 100}, {32, 0x80, 60, 0}}},
        {"meta and system exclusive skipped, their time carried",
         {0x05, 0xFF, 0x51, 0x03, 7, 0xA1, 0x20, 0x07, 0xF0, 0x02, 0x7E, 0xF7, 0x03, 0x90, 60, 100},
         {{15, 0x90, 60, 100}}},
        {"running status across a meta event",
         {0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x01, 'a', 0x05, 61, 100},
         {{0, 0x90, 60, 100}, {5, 0x90, 61, 100}}},
        {"pitch bend, pressures",
         {0x00, 0xE0, 0x00, 0x40, 0x00, 0xD0, 0x30, 0x01, 0xA0, 60, 20},
         {{0, 0xE0, 0, 0x40}, {0, 0xD0, 0x30, 0}, {1, 0xA0, 60, 20}}},
        {"long delta, nothing after the end",
         join({quantity(480), {0x90, 60, 1, 0, 0xFF, 0x2F, 0, 0, 0x90, 61, 1}}),
         {{480, 0x90, 60, 1}}},
        {"data without a status", {0x00, 60, 100}, {}},
        {"system common message", {0x00, 0xF2, 0x00, 0x00}, {}},
        {"event cut off", {0x00, 0x90, 60}, {}},
        {"delta cut off", {0x00, 0x90, 60, 100, 0x81}, {}},
        {"delta of five bytes", {0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100}, {}},
        {"meta longer than the track", {0x00, 0xFF, 0x01, 0x10, 'a'}, {}},
        {"status byte as data", {0x00, 0x90, 60, 0x80}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = midi(96, {c.track});
        HAL_MidiSong song;
        ASSERT_EQ(HAL_readMidiSong(file.data(), file.size(), &song), c.events.empty() ? HAL_FAILED : HAL_OK);
        ASSERT_EQ(song.events.size(), c.events.size());
        for (size_t i = 0; i < c.events.size(); ++i) {
            const E& a = song.events[i];
            const E& e = c.events[i];
            EXPECT_EQ(std::vector<uint32_t>({a.deltaTicks, a.status, a.data1, a.data2}),
                      std::vector<uint32_t>({e.deltaTicks, e.status, e.data1, e.data2}))
                << "event " << i;
        }
    }
    // The header: one track, a tick division; other chunks are passed over.
    Bytes wide = midi(96, {noteTrack()});
    wide[7] = 8;  // header of 8 bytes
    wide.insert(wide.begin() + 14, {0, 0});
    Bytes extraChunk = midi(96, {noteTrack()});
    Bytes junk = join({{'X', 'F', 'I', 'H', 0, 0, 0, 2, 9, 9}});
    extraChunk.insert(extraChunk.begin() + 14, junk.begin(), junk.end());
    Bytes noTrack = midi(96, {noteTrack()});
    noTrack[16] = 'k';
    struct Header {
        const char* name;
        Bytes file;
        int status;
    };
    const Header headers[] = {
        {"longer header", wide, HAL_OK},
        {"another chunk first", extraChunk, HAL_OK},
        {"two tracks", midi(96, {noteTrack(), noteTrack()}), HAL_FAILED},
        {"track count 2", midi(96, {noteTrack()}, 2), HAL_FAILED},
        {"time-code division", midi(0xE728, {noteTrack()}), HAL_FAILED},
        {"division 0", midi(0, {noteTrack()}), HAL_FAILED},
        {"no track chunk", noTrack, HAL_FAILED},
        {"header only", Bytes(wide.begin(), wide.begin() + 14), HAL_FAILED},
        {"not MIDI", wav(Bytes(8, 1)), HAL_FAILED},
    };
    for (const Header& h : headers) {
        HAL_MidiSong song;
        EXPECT_EQ(HAL_readMidiSong(h.file.data(), h.file.size(), &song), h.status) << h.name;
    }
}

TEST_F(HalAudioTest, AWavPlayerPlaysItsSamplesAndThenIsFinished) {
    const std::vector<int16_t> sound = countingStereo(2000);
    HAL_Player* p = make(wav(samples16(sound)));
    int64_t ms = 0;
    int32_t code = 0;
    EXPECT_EQ(HAL_getPlayerDuration(&ms, p), HAL_OK);
    EXPECT_EQ(ms, 45);  // 2000 frames at 44.1 kHz
    EXPECT_EQ(HAL_getPlayerContentType(&code, p), HAL_OK);
    EXPECT_EQ(code, HAL_CONTENT_WAV);
    EXPECT_EQ(state(p), 0);
    ASSERT_EQ(HAL_prefetchPlayer(p), HAL_OK);
    EXPECT_EQ(state(p), 1);
    EXPECT_EQ(nonZeroSamples(capture.render(100)), 0u);  // prefetched is not playing
    ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
    EXPECT_EQ(state(p), 2);
    EXPECT_EQ(passesOf(capture.render(2500), sound), 1);
    EXPECT_EQ(state(p), 1);  // finished
    EXPECT_EQ(mediaTime(p), 45351);
}

TEST_F(HalAudioTest, ASoundPlaysAsManyTimesAsItsLoopCountSays) {
    const std::vector<int16_t> sound = countingStereo(100);
    struct Case {
        int32_t atCreation;
        int32_t set;  // 0: not set
        int passes;   // 30: without end
    };
    for (Case c : {Case{0, 0, 1}, Case{2, 0, 3}, Case{0, 3, 3}, Case{5, 1, 1}, Case{-1, 0, 30}, Case{0, -1, 30}}) {
        SCOPED_TRACE(testing::Message() << "created with " << c.atCreation << ", set to " << c.set);
        HAL_Player* p = make(wav(samples16(sound)), HAL_CONTENT_WAV, c.atCreation);
        if (c.set) {
            ASSERT_EQ(HAL_setPlayerLoopCount(p, c.set), HAL_OK);
        }
        ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
        EXPECT_EQ(passesOf(capture.render(100 * (c.passes == 30 ? 30 : c.passes + 2)), sound), c.passes);
        EXPECT_EQ(state(p), c.passes == 30 ? 2 : 1);
        ASSERT_EQ(HAL_closePlayer(p), HAL_OK);
    }
}

TEST_F(HalAudioTest, StartPlaysFromTheStartPositionAlsoAfterAStop) {
    HAL_Player* p = make(wav(samples16(countingStereo(3 * 44100))));
    auto firstValue = [&] { return capture.render(1)[0]; };  // the left sample of the frame heard
    ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
    capture.render(1000);
    ASSERT_EQ(HAL_stopPlayer(p), HAL_OK);
    EXPECT_EQ(nonZeroSamples(capture.render(100)), 0u);
    ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
    EXPECT_EQ(firstValue(), 1);
    // 2.7 s: the next start begins at the whole second before it, every time.
    ASSERT_EQ(HAL_setPlayerMediaTime(p, 2700000), HAL_OK);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
        EXPECT_EQ(firstValue(), 88200 % 30000 + 1);
        ASSERT_EQ(HAL_stopPlayer(p), HAL_OK);
    }
    ASSERT_EQ(HAL_deallocatePlayer(p), HAL_OK);  // back to the beginning
    ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
    EXPECT_EQ(firstValue(), 1);
}

TEST_F(HalAudioTest, MediaTimeStaysWithinTheSound) {
    struct Case {
        int32_t loops;
        double passesHeard;
        int64_t expected;  // µs of a 100 ms sound
    };
    for (Case c : {Case{0, 0.25, 25000}, Case{-1, 2.5, 50000}, Case{-1, 7.75, 75000}, Case{2, 5, 100000}}) {
        SCOPED_TRACE(testing::Message() << "loops " << c.loops << ", " << c.passesHeard << " passes heard");
        HAL_Player* p = make(wav(samples16(countingStereo(4410))), HAL_CONTENT_WAV, c.loops);
        ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
        capture.render(size_t(4410 * c.passesHeard));
        EXPECT_NEAR(double(mediaTime(p)), double(c.expected), 50);
        ASSERT_EQ(HAL_closePlayer(p), HAL_OK);
    }
}

TEST_F(HalAudioTest, VolumeIsClampedToItsRangeAndReadBackRoundedHalfUp) {
    HAL_Player* p = make(wav(samples16({20000, 20000})));
    for (auto [set, read] : {std::pair{150, 100}, {-5, 0}, {50, 50}, {33, 33}, {1, 1}, {100, 100}}) {
        ASSERT_EQ(HAL_setPlayerVolume(p, set), HAL_OK);
        int32_t level = -1;
        ASSERT_EQ(HAL_getPlayerVolume(&level, p), HAL_OK);
        EXPECT_EQ(level, read) << "set " << set;
    }
    ASSERT_EQ(HAL_setPlayerVolume(p, 50), HAL_OK);
    ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
    std::vector<int16_t> out = capture.render(1);
    EXPECT_NEAR(out[0], 10000, 1);
    EXPECT_NEAR(out[1], 10000, 1);
}

TEST_F(HalAudioTest, BadArgumentsAndUnplayableDataAreRefused) {
    using Call = std::function<int()>;
    int32_t i32 = 0;
    int64_t i64 = 0;
    const Call nullPlayer[] = {
        [] { return HAL_prefetchPlayer(nullptr); },
        [] { return HAL_startPlayer(nullptr); },
        [] { return HAL_stopPlayer(nullptr); },
        [] { return HAL_deallocatePlayer(nullptr); },
        [] { return HAL_closePlayer(nullptr); },
        [] { return HAL_setPlayerLoopCount(nullptr, 1); },
        [&] { return HAL_getPlayerState(&i32, nullptr); },
        [&] { return HAL_getPlayerDuration(&i64, nullptr); },
        [&] { return HAL_getPlayerContentType(&i32, nullptr); },
        [&] { return HAL_getPlayerMediaTime(&i64, nullptr); },
        [] { return HAL_setPlayerMediaTime(nullptr, 0); },
        [&] { return HAL_getPlayerVolume(&i32, nullptr); },
        [] { return HAL_setPlayerVolume(nullptr, 50); },
    };
    for (const Call& call : nullPlayer) EXPECT_EQ(call(), HAL_BAD_ARGUMENT);

    HAL_Player* p = make(wav(samples16(countingStereo(44100))));  // 1 s
    EXPECT_EQ(HAL_setPlayerLoopCount(p, -2), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_setPlayerMediaTime(p, -1), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_setPlayerMediaTime(p, 1000001), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_setPlayerMediaTime(p, 1000000), HAL_OK);
    ASSERT_EQ(HAL_closePlayer(p), HAL_OK);
    EXPECT_EQ(HAL_closePlayer(p), HAL_BAD_ARGUMENT);  // no longer open

    const Bytes good = wav(Bytes(8, 1));
    HAL_Player* q = nullptr;
    for (int32_t code : {HAL_CONTENT_UNKNOWN, HAL_CONTENT_MPEG, HAL_CONTENT_QCELP})
        EXPECT_EQ(HAL_createPlayerWithData(&q, good.data(), int32_t(good.size()), code, 0), HAL_FAILED);
    const Bytes bad = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a'};
    EXPECT_EQ(HAL_createPlayerWithData(&q, bad.data(), int32_t(bad.size()), HAL_CONTENT_NONE, 0), HAL_FAILED);
    EXPECT_EQ(HAL_createPlayerWithData(&q, bad.data(), int32_t(bad.size()), HAL_CONTENT_MIDI, 0), HAL_FAILED);
    EXPECT_EQ(HAL_createPlayerWithData(&q, nullptr, 8, HAL_CONTENT_WAV, 0), HAL_BAD_ARGUMENT);
    EXPECT_EQ(q, nullptr);
    EXPECT_EQ(HAL_getOpenPlayerCount(), 0);
    EXPECT_TRUE(HAL_isPlayerContentTypeSupported(HAL_CONTENT_WAV));
    EXPECT_FALSE(HAL_isPlayerContentTypeSupported(HAL_CONTENT_MIDI));
    EXPECT_TRUE(HAL_isPlayerProtocolSupported(HAL_PROTOCOL_FILE));
    EXPECT_TRUE(HAL_isPlayerProtocolSupported(HAL_PROTOCOL_JAR));
    EXPECT_FALSE(HAL_isPlayerProtocolSupported(HAL_PROTOCOL_HTTP));
}

TEST_F(HalAudioTest, LocatorsReadWavFilesAndResources) {
    TempProgramDir dir("hal-audio");
    const Bytes sound = wav(samples16(countingStereo(10)));
    dir.put("rsc/snd/a.wav", std::string(sound.begin(), sound.end()));
    dir.put("rsc/snd/tune.mid", "MThd");
    dir.put("empty.wav", "");
    const std::string file = dir.root() + "rsc/snd/a.wav";
    struct Case {
        int32_t protocol;
        std::string path;
        int32_t content;
        int status;
    };
    const Case cases[] = {
        {HAL_PROTOCOL_JAR, "///snd/a.wav", HAL_CONTENT_NONE, HAL_OK},
        {HAL_PROTOCOL_JAR, "snd/a.wav", HAL_CONTENT_WAV, HAL_OK},
        {HAL_PROTOCOL_FILE, "//" + file, HAL_CONTENT_NONE, HAL_OK},
        {HAL_PROTOCOL_JAR, "//snd/missing.wav", HAL_CONTENT_NONE, HAL_NOT_FOUND},
        {HAL_PROTOCOL_FILE, "//" + dir.root() + "missing.wav", HAL_CONTENT_NONE, HAL_NOT_FOUND},
        {HAL_PROTOCOL_FILE, "//" + dir.root() + "empty.wav", HAL_CONTENT_NONE, HAL_IO_ERROR},
        {HAL_PROTOCOL_FILE, file, HAL_CONTENT_NONE, HAL_BAD_ARGUMENT},  // no "//"
        {HAL_PROTOCOL_JAR, "//snd/tune.mid", HAL_CONTENT_NONE, HAL_FAILED},
        {HAL_PROTOCOL_JAR, "//snd/a.wav", HAL_CONTENT_MIDI, HAL_FAILED},
        {HAL_PROTOCOL_HTTP, "//host/a.wav", HAL_CONTENT_NONE, HAL_BAD_ARGUMENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::u16string chars(c.path.begin(), c.path.end());
        HAL_Player* p = nullptr;
        ASSERT_EQ(HAL_createPlayerWithLocator(&p, c.protocol, chars.data(), int32_t(chars.size()), c.content, 0),
                  c.status);
        if (c.status != HAL_OK) continue;
        ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
        EXPECT_EQ(passesOf(capture.render(20), countingStereo(10)), 1);
        ASSERT_EQ(HAL_closePlayer(p), HAL_OK);
    }
}

TEST_F(HalAudioTest, StoppingTheOpenPlayersSilencesThemAll) {
    HAL_Player* a = make(wav(samples16(countingStereo(44100))));
    HAL_Player* b = make(midi(96, {noteTrack(60, 5000)}), HAL_CONTENT_MIDI);
    HAL_Player* c = make(wav(samples16(countingStereo(44100))));
    ASSERT_EQ(HAL_getOpenPlayerCount(), 3);
    ASSERT_EQ(HAL_closePlayer(c), HAL_OK);
    EXPECT_EQ(HAL_getOpenPlayer(0), a);
    EXPECT_EQ(HAL_getOpenPlayer(1), b);
    EXPECT_EQ(HAL_getOpenPlayer(2), nullptr);
    ASSERT_EQ(HAL_startPlayer(a), HAL_OK);
    ASSERT_EQ(HAL_startPlayer(b), HAL_OK);
    EXPECT_GT(nonZeroSamples(capture.render(1000)), 1000u);
    HAL_stopOpenPlayers();
    EXPECT_EQ(state(a), 1);
    EXPECT_EQ(state(b), 1);
    EXPECT_EQ(nonZeroSamples(capture.render(1000)), 0u);
}

TEST_F(HalAudioTest, PausingTheApplicationStopsThePlayersAndResumingLeavesThemStopped) {
    const HAL_HostCallbacks saved = HAL_hostCallbacks();
    HAL_HostCallbacks none;
    hostSetCallbacks(&none);  // events go nowhere
    hostResetState();
    HAL_Player* wave = make(wav(samples16(countingStereo(44100))));
    HAL_Player* song = make(midi(96, {noteTrack(60, 5000)}), HAL_CONTENT_MIDI);
    ASSERT_EQ(HAL_startPlayer(wave), HAL_OK);
    ASSERT_EQ(HAL_startPlayer(song), HAL_OK);
    capture.render(100);
    hostSetActive(0);
    EXPECT_FALSE(hostState().running);
    EXPECT_EQ(state(wave), 1);
    EXPECT_EQ(state(song), 1);
    EXPECT_EQ(nonZeroSamples(capture.render(1000)), 0u);
    hostSetActive(1);
    EXPECT_TRUE(hostState().running);
    EXPECT_EQ(state(wave), 1);
    EXPECT_EQ(nonZeroSamples(capture.render(1000)), 0u);
    hostResetState();
    HAL_setHostCallbacks(&saved);
}

TEST_F(HalAudioTest, MidiPlayersSoundWithASoundfontAndKeepTimeWithout) {
    const std::string soundFont = ce::WaveOutSoundFontPath();
    testing::internal::CaptureStdout();
    HAL_Player* p = make(midi(100, {noteTrack(60, 100)}), HAL_CONTENT_MIDI);  // 100 ticks of 1 ms
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("0 - ) ORIGINAL - Event type + channel: c0, par1: 0, par2: 0\n"
                           "1 - ) ORIGINAL - Event type + channel: 90, par1: 3c, par2: 64\n"
                           "2 - ) ORIGINAL - Event type + channel: 80, par1: 3c, par2: 40\n"),
              std::string::npos)
        << printed;
    int64_t ms = -1;
    EXPECT_EQ(HAL_getPlayerDuration(&ms, p), HAL_OK);
    EXPECT_EQ(ms, 0);
    if (ce::WaveOutHasSoundFont()) {
        ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
        EXPECT_GT(nonZeroSamples(capture.render(2000)), 1000u);
        ASSERT_EQ(HAL_stopPlayer(p), HAL_OK);
        EXPECT_EQ(nonZeroSamples(capture.render(2000)), 0u);
        ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
        EXPECT_GT(nonZeroSamples(capture.render(2000)), 1000u);
    }
    ASSERT_EQ(HAL_closePlayer(p), HAL_OK);
    EXPECT_EQ(nonZeroSamples(capture.render(2000)), 0u);

    ce::WaveOutSetSoundFontPath("");
    testing::internal::CaptureStdout();
    p = make(midi(100, {noteTrack(60, 100)}), HAL_CONTENT_MIDI);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
    EXPECT_EQ(nonZeroSamples(capture.render(4300)), 0u);
    EXPECT_EQ(state(p), 2);
    EXPECT_NEAR(double(mediaTime(p)), 97500, 31250);  // counted in 1/32 s
    capture.render(200);
    EXPECT_EQ(state(p), 1);
    ce::WaveOutSetSoundFontPath(soundFont);
}

TEST_F(HalAudioTest, TheEndOfEveryPlayIsHandedOverOnceFromTheDevice) {
    HAL_setPlayerEventHook(nullptr, recordEvent);
    g_events.clear();
    HAL_Player* p = make(wav(samples16(countingStereo(10))));
    ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
    capture.render(20);
    ASSERT_EQ(HAL_stopPlayer(p), HAL_OK);
    ASSERT_EQ(HAL_closePlayer(p), HAL_OK);
    std::vector<int32_t> events;
    for (const Event& e : g_events)
        if (e.event != HAL_PLAYER_EVENT_DEALLOCATED) events.push_back(e.event);
    EXPECT_EQ(events, (std::vector<int32_t>{HAL_PLAYER_EVENT_STARTED, HAL_PLAYER_EVENT_END_OF_MEDIA,
                                            HAL_PLAYER_EVENT_STOPPED, HAL_PLAYER_EVENT_CLOSED}));

    // On the mixer's own thread: a sound of one frame ends at once, and must
    // never leave its player playing.
    HAL_setPlayerEventHook(nullptr, nullptr);
    ASSERT_TRUE(ce::WaveOutSetManualClock(false));
    const int threadsBefore = threadCount();
    p = make(wav(samples16({5, 5})));
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(HAL_startPlayer(p), HAL_OK);
        const auto start = std::chrono::steady_clock::now();
        while (state(p) == 2 && std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(state(p), 1) << "play " << i;
    }
    HAL_releaseAudio();
    EXPECT_EQ(HAL_getOpenPlayerCount(), 0);
    EXPECT_FALSE(ce::WaveOutOutputRunning());
    EXPECT_EQ(threadCount(), threadsBefore);
}

}  // namespace
