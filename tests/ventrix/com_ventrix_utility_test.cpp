// The scene manager base and the sound singleton.
#include "audio_test.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_ResManager.h"
#include "hal_audio.h"
#include "ts_MediaManagerImpl.h"
#include "ts_Resources.h"
#include "ventrix_test_support.h"

using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::ResManager;

TEST(SceneManagerTest, AChangeEmptiesTheCacheButTheCurrentSceneIsNeverEnteredAgain) {
    vmTestBoot();
    VMPtr<ventrixtest::RecordingSceneManager> sm = ventrixtest::RecordingSceneManager::create()->construct();
    EXPECT_EQ(com::ventrix::utility::SceneManager::getInstance().get(), sm.get());
    sm->changeScene(3);
    sm->init();
    EXPECT_EQ(sm->audio.get(), AudioAndVibration::getInstance().get());
    EXPECT_EQ(sm->currentSceneId, 3);
    EXPECT_EQ(sm->previousSceneId, -1);
    ResManager::create()->construct();
    ResManager::usedSlots = 2;
    sm->changeScene(3);
    EXPECT_EQ(ResManager::usedSlots, 2);
    sm->changeScene(7);
    EXPECT_EQ(ResManager::usedSlots, 0);
    EXPECT_EQ(sm->previousSceneId, 3);
}

TEST(AudioAndVibrationTest, StartMusicPlaysSound0FromItsStartAndDestroyClosesTheManager) {
    vmTestBoot();
    ASSERT_TRUE(ce::WaveOutSetManualClock(true));
    AudioCapture capture;
    VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
    EXPECT_FALSE(audio->isMuted());
    VMPtr<ts::MediaManagerImpl> media = ts::MediaManagerImpl::create()->construct();
    media->init(nullptr, 10);
    media->playSound(0, 18 * 1024 + 1, -1, 0);
    audio->mediaManager = media;
    audio->musicLoaded = false;
    audio->startMusic();  // nothing prepared
    EXPECT_EQ(nonZeroSamples(capture.render(2000)), 0u);
    audio->musicLoaded = true;
    audio->startMusic();
    const std::vector<int16_t> start = capture.render(2000);
    EXPECT_GT(nonZeroSamples(start), 0u);
    capture.render(3000);
    audio->startMusic();
    EXPECT_EQ(capture.render(2000), start);
    audio->destroy(0, 0);
    EXPECT_TRUE(media->closed);
    EXPECT_TRUE(audio->mediaManager == nullptr && !audio->musicLoaded && audio->currentCue == -1);
    EXPECT_EQ(HAL_getOpenPlayerCount(), 0);
    ts::Resources::unloadPack();
}

// The framework's and the application's classes take their source names from
// the files that register them.
TEST(SourceNameTest, FrameworkAndApplicationClassesNameTheirFiles) {
    vmTestBoot();
    const std::pair<const char*, const char*> cases[] = {
        {"ts.AnimSet", "src/ts/ts_AnimSet"},
        {"ts.graphics.CollisionBox", "src/ts/graphics/ts_graphics_CollisionBox"},
        {"com.ventrix.utility.MyPointer", "src/ventrix/utility/com_ventrix_utility_MyPointer"},
        {"com.ventrix.common.CommonMIDlet", "src/ventrix/common/com_ventrix_common_CommonMIDlet"},
    };
    for (const auto& [className, sourceName] : cases) {
        java::lang::Class* record = _VM_findClass(className);
        ASSERT_NE(record, nullptr) << className;
        EXPECT_STREQ(record->sourceName, sourceName) << className;
    }
}
