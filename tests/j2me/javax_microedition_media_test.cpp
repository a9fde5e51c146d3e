// javax.microedition.media: the manager's code tables and player creation,
// and the player class's states, controls and failures.
#include <functional>

#include "audio_test.h"
#include "com_tarsel_sorrel_media_Player.h"
#include "hal_audio.h"
#include "java_lang_IllegalArgumentException.h"
#include "javax_microedition_media_Manager.h"
#include "program_dir.h"
#include "vm_test.h"

using java::lang::String;
using javax::microedition::media::Manager;
using javax::microedition::media::Player;

namespace {

VMPtr<VMBytes> bytesOf(const soundfiles::Bytes& file, jint before = 0) {
    VMPtr<VMBytes> a = VMBytes::create(jint(file.size()) + before);
    std::copy(file.begin(), file.end(), reinterpret_cast<uint8_t*>(a->elements()) + before);
    return a;
}

class MediaTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        ASSERT_TRUE(ce::WaveOutSetManualClock(true));
    }
    void TearDown() override {
        _VM_collect(_VM_runtime);  // players dropped by a test close with it
        EXPECT_EQ(HAL_getOpenPlayerCount(), 0);
    }
    VMPtr<Player> wavPlayer(const std::vector<int16_t>& samples) {
        const soundfiles::Bytes file = soundfiles::wav(soundfiles::samples16(samples));
        return Manager::createPlayerWithData(bytesOf(file), 0, jint(file.size()), VM_STR("audio/x-wav"));
    }
    AudioCapture capture;
};

TEST_F(MediaTest, TheManagerKnowsTheContentTypesAndProtocolsByTheirCodes) {
    const char* types[] = {"audio/x-wav", "audio/x-caf", "audio/mpeg",    "audio/aac",
                           "audio/midi",  "audio/mp4",   "audio/x-ms-wma"};
    for (jint code = 2; code <= 8; ++code) {
        EXPECT_EQ(text(Manager::contentTypeName(code)), types[code - 2]);
        EXPECT_EQ(Manager::contentTypeCode(String::_VM_fromUTF8(types[code - 2])), code);
    }
    EXPECT_EQ(text(Manager::contentTypeName(11)), "audio/vnd.qcelp");
    for (jint code : {-1, 0, 1, 9, 10, 12}) EXPECT_EQ(Manager::contentTypeName(code), nullptr) << code;
    EXPECT_EQ(Manager::contentTypeCode(nullptr), 1);
    EXPECT_EQ(Manager::contentTypeCode(VM_STR("AUDIO/X-WAV")), 0);

    struct Locator {
        const char* text;
        jint protocol;
        const char* path;  // null: none
    };
    for (Locator l : {Locator{"file:///a.wav", 4, "///a.wav"}, Locator{"x-jar://s.wav", 5, "//s.wav"},
                      Locator{"http://h/x", 3, "//h/x"}, Locator{"device://midi", 2, "//midi"},
                      Locator{"ftp:x", 0, "x"}, Locator{"nocolon", 0, nullptr}, Locator{":", 0, ""}}) {
        VMPtr<String> locator = String::_VM_fromUTF8(l.text);
        EXPECT_EQ(Manager::locatorProtocol(locator), l.protocol) << l.text;
        VMPtr<String> path = Manager::locatorPath(locator);
        if (l.path)
            EXPECT_EQ(text(path), l.path);
        else
            EXPECT_EQ(path, nullptr);
    }
    EXPECT_EQ(Manager::protocolCode(nullptr), 1);
}

TEST_F(MediaTest, PlayersComeFromResourcesFilesAndBytesOrGiveAClearException) {
    TempProgramDir dir("media");
    const soundfiles::Bytes sound = soundfiles::wav(soundfiles::samples16(soundfiles::countingStereo(10)));
    dir.put("rsc/a.wav", std::string(sound.begin(), sound.end()));
    dir.put("rsc/bad.wav", "RIFF....WAVEjunk");
    _VM_ensureInitialized(Manager::_VM_classRecord);
    EXPECT_EQ(text(Manager::MIDI_DEVICE_LOCATOR), "device://midi");
    EXPECT_EQ(text(Manager::TONE_DEVICE_LOCATOR), "device://tone");
    for (std::string locator : {std::string("x-jar:///a.wav"), "file://" + dir.root() + "rsc/a.wav"}) {
        VMPtr<Player> p = Manager::createPlayer(String::_VM_fromUTF8(locator.c_str()));
        EXPECT_EQ(text(p->getContentType()), "audio/x-wav");
        p->close();
    }
    VMPtr<Player> fromBytes = Manager::createPlayerWithData(bytesOf(sound, 5), 5, jint(sound.size()), nullptr);
    EXPECT_EQ(text(fromBytes->getContentType()), "audio/x-wav");
    fromBytes->close();

    const soundfiles::Bytes junk = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 2, 0, 96};
    struct Failure {
        std::function<void()> make;
        const char* thrown;
    };
    const Failure failures[] = {
        {[] { Manager::createPlayer(nullptr); },
         "java.lang.IllegalArgumentException: Manager.createPlayer passed null locator"},
        {[] { Manager::createPlayer(VM_STR("http://host/a.wav")); },
         "javax.microedition.media.MediaException: Unsupported protocol"},
        {[] { Manager::createPlayer(VM_STR("x-jar:///missing.wav")); },
         "java.io.IOException: Cannot read the sound (status 4)"},
        {[] { Manager::createPlayer(VM_STR("x-jar:///bad.wav")); },
         "javax.microedition.media.MediaException: Cannot create the player (status 1)"},
        {[&] { Manager::createPlayerWithData(bytesOf(junk), 0, jint(junk.size()), VM_STR("audio/midi")); },
         "javax.microedition.media.MediaException: Cannot create the player (status 1)"},
        {[&] { Manager::createPlayerWithData(bytesOf(sound), 0, jint(sound.size()), VM_STR("audio/mpeg")); },
         "javax.microedition.media.MediaException: Cannot create the player (status 1)"},
        {[&] { Manager::createPlayerWithData(bytesOf(sound), 1, jint(sound.size()), nullptr); },
         "java.lang.IndexOutOfBoundsException"},
        {[] { Manager::createPlayerWithData(nullptr, 0, 0, nullptr); }, "java.lang.NullPointerException"},
    };
    for (const Failure& f : failures) EXPECT_EQ(VM_THROWN_TEXT(f.make()), f.thrown);
}

TEST_F(MediaTest, APlayerGoesThroughItsStatesAndRefusesEverythingOnceClosed) {
    const std::vector<int16_t> samples = soundfiles::countingStereo(100);
    VMPtr<Player> p = wavPlayer(samples);
    EXPECT_EQ(p->getState(), Player::UNREALIZED);
    p->realize();
    EXPECT_EQ(p->getState(), Player::REALIZED);
    p->prefetch();
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    p->setLoopCount(2);
    p->start();
    EXPECT_EQ(p->getState(), Player::STARTED);
    EXPECT_EQ(VM_THROWN_CLASS(p->setLoopCount(3)), "java.lang.IllegalStateException");
    p->start();  // already started: goes on
    std::vector<int16_t> twice = samples;
    twice.insert(twice.end(), samples.begin(), samples.end());
    EXPECT_EQ(capture.render(200), twice);
    EXPECT_EQ(p->getState(), Player::PREFETCHED);                  // at the end
    EXPECT_EQ(p->getMediaTime() / 1000, p->getDuration() / 1000);  // the duration comes in whole ms
    p->deallocate();
    EXPECT_EQ(p->getState(), Player::REALIZED);
    p->close();
    p->close();
    EXPECT_EQ(p->getState(), Player::CLOSED);
    for (auto call : std::initializer_list<std::function<void()>>{[&] { p->start(); }, [&] { p->prefetch(); },
                                                                  [&] { p->getMediaTime(); }, [&] { p->getDuration(); },
                                                                  [&] { p->getControl(VM_STR("VolumeControl")); }})
        EXPECT_EQ(VM_THROWN_CLASS(call()), "java.lang.IllegalStateException");
}

TEST_F(MediaTest, DurationMediaTimeLoopsAndVolumeFollowTheMidpRules) {
    VMPtr<Player> p = wavPlayer(soundfiles::countingStereo(44100));  // 1 s
    EXPECT_EQ(p->getDuration(), 1000000);
    EXPECT_EQ(p->setMediaTime(5000000), 1000000);  // clamped to the end
    EXPECT_EQ(p->setMediaTime(-4), 0);
    EXPECT_EQ(VM_THROWN_CLASS(p->setLoopCount(0)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(p->getControl(nullptr)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(p->getControl(VM_STR("ToneControl")), nullptr);
    VMPtr<javax::microedition::media::Control> control = p->getControl(VM_STR("VolumeControl"));
    auto* volume = dynamic_cast<javax::microedition::media::control::VolumeControl*>(control.get());
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(p->getControls()->length, 1);
    EXPECT_EQ(volume->setLevel(150), 100);
    EXPECT_EQ(volume->setLevel(40), 40);
    volume->setMute(true);
    EXPECT_TRUE(volume->isMuted());
    EXPECT_EQ(volume->setLevel(70), 70);  // kept for when the mute ends
    p->start();
    EXPECT_EQ(nonZeroSamples(capture.render(100)), 0u);
    volume->setMute(false);
    std::vector<int16_t> out = capture.render(1);
    EXPECT_NEAR(out[0], 101 * 0.7, 1.5);  // frame 100 of the counting sound
    EXPECT_EQ(volume->getLevel(), 70);

    const soundfiles::Bytes song = soundfiles::midi(96, {soundfiles::noteTrack()});
    testing::internal::CaptureStdout();
    VMPtr<Player> m = Manager::createPlayerWithData(bytesOf(song), 0, jint(song.size()), VM_STR("audio/midi"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(text(m->getContentType()), "audio/midi");
    EXPECT_EQ(m->getDuration(), Player::TIME_UNKNOWN);
    EXPECT_EQ(VM_THROWN_CLASS(m->setMediaTime(1000)), "javax.microedition.media.MediaException");
    m->close();
    p->close();
}

TEST_F(MediaTest, PausingTheApplicationStopsEveryOpenPlayerAndADroppedPlayerIsClosed) {
    VMPtr<Player> a = wavPlayer(soundfiles::countingStereo(44100));
    VMPtr<Player> b = wavPlayer(soundfiles::countingStereo(44100));
    a->start();
    b->start();
    EXPECT_GT(nonZeroSamples(capture.render(100)), 0u);
    HAL_stopOpenPlayers();  // what the host does when the application is paused
    EXPECT_EQ(a->getState(), Player::PREFETCHED);
    EXPECT_EQ(b->getState(), Player::PREFETCHED);
    EXPECT_EQ(nonZeroSamples(capture.render(100)), 0u);
    a->close();
    b = nullptr;  // unreachable: the collector closes its sound
    _VM_collect(_VM_runtime);
    EXPECT_EQ(HAL_getOpenPlayerCount(), 0);
}

}  // namespace
