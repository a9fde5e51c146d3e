// MediaManagerImpl: sounds of the test data set's sound pack on channels,
// with loops, priorities, stops and the closed state.
#include "audio_test.h"
#include "hal_audio.h"
#include "javax_microedition_media_Manager.h"
#include "ts_MediaManagerImpl.h"
#include "ts_Resources.h"
#include "vm_test.h"

using javax::microedition::media::Player;

namespace {

constexpr jint kBeep = 18 * 1024, kSweep = kBeep + 1, kNoise = kBeep + 2, kTune = kBeep + 4;  // pack 18
constexpr size_t kSecond = 44100;                                                             // mixed frames

class MediaManagerImplTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        ASSERT_TRUE(ce::WaveOutSetManualClock(true));
        media = ts::MediaManagerImpl::create()->construct();
        media->init(nullptr, 4);
    }
    void TearDown() override {
        media->close();
        ts::Resources::unloadPack();
        EXPECT_EQ(HAL_getOpenPlayerCount(), 0);
    }
    Player* player(jint sound) { return media->players->get(sound); }
    jint channel(jint c) { return (*media->channels)[c]; }
    bool playing(jint sound) { return player(sound) != nullptr && player(sound)->getState() == Player::STARTED; }

    struct Booted {
        Booted() { vmTestBoot(); }
    } booted;
    AudioCapture capture;
    VMPtr<ts::MediaManagerImpl> media;
};

}  // namespace

TEST_F(MediaManagerImplTest, AWaveOnChannel0SoundsAsThePlatformsPlayerOfTheSameBytes) {
    media->playSound(0, kBeep, 1, 0);
    EXPECT_EQ(player(0)->getState(), Player::PREFETCHED);
    media->playOnChannel(0, 0);
    const std::vector<int16_t> managed = capture.render(kSecond / 2);
    EXPECT_FALSE(playing(0));  // played once, to its end
    VMPtr<VMArray<jbyte, 1>> bytes = ts::Resources::getResource(kBeep);
    VMPtr<Player> direct = javax::microedition::media::Manager::createPlayerWithData(bytes, 0, bytes->length, nullptr);
    direct->start();
    const std::vector<int16_t> expected = capture.render(kSecond / 2);
    direct->close();
    EXPECT_GT(nonZeroSamples(expected), kSecond / 4);
    EXPECT_EQ(managed, expected);
    // Loop count -1: still playing after six times its length.
    media->playSound(1, kBeep, -1, 0);
    media->playOnChannel(2, 1);
    capture.render(2 * kSecond);
    EXPECT_TRUE(playing(1));
}

TEST_F(MediaManagerImplTest, ABusyChannelIsTakenOnlyByAHigherPriority) {
    media->playSound(0, kSweep, -1, 5);
    media->playSound(1, kBeep, -1, 1);
    media->playSound(2, kNoise, 1, 9);
    media->playOnChannel(0, 0);
    media->playOnChannel(0, 1);  // lower: refused
    EXPECT_TRUE(channel(0) == 0 && playing(0) && !playing(1));
    media->playOnChannel(0, 2);  // higher: the old sound stops
    EXPECT_TRUE(channel(0) == 2 && !playing(0) && playing(2));
    capture.render(kSecond / 2);  // sound 2 ends
    media->playOnChannel(0, 1);   // a quiet channel takes any priority
    EXPECT_TRUE(channel(0) == 1 && playing(1));
    media->playOnChannel(3, 1);  // a sound moves to its new channel
    EXPECT_TRUE(channel(0) == -1 && channel(3) == 1);
}

TEST_F(MediaManagerImplTest, StoppingEverySoundOrEveryChannelSilencesAll) {
    for (bool bySound : {true, false}) {
        media->playSound(0, kSweep, -1, 0);
        media->playSound(1, kBeep, -1, 0);
        media->playOnChannel(0, 0);
        media->playOnChannel(1, 1);
        if (bySound) {
            media->stopSound(0);  // its channel only
            EXPECT_TRUE(channel(0) == -1 && channel(1) == 1);
            media->stopSound(-1);
        } else {
            media->stopChannel(1);
            EXPECT_TRUE(channel(1) == -1 && playing(0));
            media->stopChannel(-1);
        }
        for (jint c = 0; c < media->getChannelCount(); ++c) EXPECT_EQ(channel(c), -1);
        EXPECT_EQ(nonZeroSamples(capture.render(1000)), 0u);
        EXPECT_NE(player(0), nullptr);  // still prepared
    }
}

TEST_F(MediaManagerImplTest, OtherTypesAndUnreadableResourcesLeaveTheSlotEmptyAndNothingPlaysAfterClose) {
    testing::internal::CaptureStdout();
    media->playSound(0, kTune, -1, 0);
    media->playSound(1, 16 * 1024, -1, 0);    // an image
    media->playSound(2, kBeep + 900, -1, 0);  // no such resource
    EXPECT_NE(testing::internal::GetCapturedStdout().find("RuntimeException"), std::string::npos);
    EXPECT_EQ(text(player(0)->getContentType()), "audio/midi");
    EXPECT_TRUE(player(1) == nullptr && player(2) == nullptr);
    media->playOnChannel(1, 1);  // an empty slot plays nothing
    EXPECT_EQ(channel(1), -1);
    VMPtr<Player> old = player(0);
    media->playSound(0, kSweep, -1, 0);  // a new player; the old one closed
    EXPECT_EQ(old->getState(), Player::CLOSED);
    media->playOnChannel(0, 0);
    EXPECT_EQ(VM_THROWN_CLASS(media->playOnChannel(4, 0)), "java.lang.ArrayIndexOutOfBoundsException");

    media->close();
    EXPECT_EQ(HAL_getOpenPlayerCount(), 0);
    media->playSound(0, kSweep, -1, 0);
    media->playOnChannel(0, 0);
    EXPECT_EQ(player(0), nullptr);
    EXPECT_EQ(nonZeroSamples(capture.render(1000)), 0u);
}
