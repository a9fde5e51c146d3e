// The scene manager with a test factory (scenes 1 at once, 2 stage by stage,
// nothing for other ids) and the sound singleton over a media manager that
// records its calls; the logical keys against the canvas's key states.
#include <map>
#include <set>

#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"
#include "com_ventrix_utility_SceneManager.h"
#include "scenes_test_support.h"
#include "ts_input_PointerInputEventManager.h"
#include "ts_input_PointerInputKeyManager.h"
#include "ts_io_resource_ResourcePack.h"

using com::ventrix::common::Main;
using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::MyKey;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::ResManager;
using com::ventrix::utility::SceneManager;
using ts::input::PointerInputEventManager;
using ts::input::PointerInputKeyManager;

namespace scenemanagertest {

using Log = std::vector<std::string>;

// Logs every call; playSound opens the sprite pack as a real load would.
class RecordingMedia : public virtual java::lang::Object, public virtual ts::MediaManager {
    VM_DECLARE_CLASS(RecordingMedia, java::lang::Object)

public:
    Log* log = nullptr;
    jint channels = 3;

    void note(const std::string& call, std::initializer_list<jint> args) {
        std::string line = call;
        for (jint a : args) line += " " + std::to_string(a);
        log->push_back(line);
    }
    void init(VMPtr<ts::TsCanvas>, jint capacity) override { note("init", {capacity}); }
    void playSound(jint sound, jint resourceId, jint loopCount, jint priority) override {
        ts::Resources::getGobs(scenetest::kSquares);
        EXPECT_EQ(ts::io::resource::ResourcePack::currentPack, 24);
        note("playSound", {sound, resourceId, loopCount, priority});
    }
    void playOnChannel(jint channel, jint sound) override { note("playOnChannel", {channel, sound}); }
    void stopSound(jint sound) override { note("stopSound", {sound}); }
    void stopChannel(jint channel) override { note("stopChannel", {channel}); }
    jint getChannelCount() override { return channels; }
    void close() override { note("close", {}); }
};

// Builds a LogScene for ids 1 (started at once) and 2 (stage by stage);
// each scene holds an object that logs its release into the manager's log.
class FactoryManager : public SceneManager {
    VM_DECLARE_CLASS(FactoryManager, SceneManager)

public:
    Log log;

    VMPtr<FactoryManager> construct() {
        Super::construct();
        instance = this;
        return this;
    }
    void setupFonts() override { log.push_back("setupFonts"); }
    void setupLoadingPage() override { log.push_back("setupLoadingPage"); }
    void createGameSave() override { log.push_back("createGameSave"); }
    void createScene() override {
        log.push_back("createScene " + std::to_string(currentSceneId));
        if (currentSceneId != 1 && currentSceneId != 2) return;
        VMPtr<scenetest::LogScene> s = scenetest::LogScene::create()->construct();
        s->addObject(scenetest::LogObject::create()->construct("scene" + std::to_string(currentSceneId), 0, &log));
        if (currentSceneId == 2) {
            VMPtr<com::ventrix::ui::LoadingPage> page = loadingPage;
            page->begin(3);
            s->startLoading(0);
        }
        scene = s;
    }
    scenetest::LogScene* logScene() { return static_cast<scenetest::LogScene*>(scene.get()); }
};

// Asks the scene manager for scene `to` from its update.
class SwitchObject : public scenetest::LogObject {
    VM_DECLARE_CLASS(SwitchObject, scenetest::LogObject)

public:
    jint to = 0;
    void update(jint a, jint b) override {
        Super::update(a, b);
        SceneManager::getInstance()->changeScene(to);
    }
};

// Logs the vibration calls.
class VibrationCanvas : public scenetest::StoppedCanvas {
    VM_DECLARE_CLASS(VibrationCanvas, scenetest::StoppedCanvas)

public:
    Log log;
    void setVibrationEnabled(jboolean on) override { log.push_back(on ? "vibration on" : "vibration off"); }
    void vibrate(jint ms) override { log.push_back("vibrate " + std::to_string(ms)); }
};

}  // namespace scenemanagertest

VM_REGISTER_CLASS(scenemanagertest::RecordingMedia, .name = "scenemanagertest.RecordingMedia",
                  .interfaces = {"ts.MediaManager"})
VM_REGISTER_CLASS(scenemanagertest::FactoryManager, .name = "scenemanagertest.FactoryManager")
VM_REGISTER_CLASS(scenemanagertest::SwitchObject, .name = "scenemanagertest.SwitchObject")
VM_REGISTER_CLASS(scenemanagertest::VibrationCanvas, .name = "scenemanagertest.VibrationCanvas")

namespace {

using scenemanagertest::FactoryManager;
using scenemanagertest::Log;
using scenemanagertest::RecordingMedia;

VMPtr<VMInts> ints(std::initializer_list<jint> values) {
    VMPtr<VMInts> a = VMInts::create(jint(values.size()));
    jint i = 0;
    for (jint v : values) (*a)[i++] = v;
    return a;
}

class SceneManagerFlowTest : public scenetest::SceneTest {
protected:
    void SetUp() override {
        scenetest::SceneTest::SetUp();
        AudioAndVibration::instance = nullptr;
        MyPointer::instance = nullptr;
        PointerInputKeyManager::removeRegions(0);
    }
    void TearDown() override {
        SceneManager::instance = nullptr;
        AudioAndVibration::instance = nullptr;
        AudioAndVibration::cueTable = nullptr;
        AudioAndVibration::soundIds = nullptr;
        MyKey::instance = nullptr;
        PointerInputKeyManager::removeRegions(0);
        MyPointer::instance = nullptr;
        scenetest::SceneTest::TearDown();
    }
    // The sound singleton over a recording media manager, music prepared.
    VMPtr<RecordingMedia> recordSound(Log* log) {
        VMPtr<RecordingMedia> media = RecordingMedia::create();
        media->log = log;
        VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
        audio->mediaManager = media;
        audio->musicLoaded = true;
        return media;
    }
    // The tables the game installs: sounds 0x5405, 0x5400 to 0x5404; cues
    // 0 to 11 name sounds 4 4 1 2 5 1 2 3 3 4 2 0.
    static void installGameTables() {
        VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
        audio->setSoundIds(ints({0x5405, 0x5400, 0x5401, 0x5402, 0x5403, 0x5404}));
        VMPtr<VMArray<jint, 2>> cues = VMArray<jint, 2>::create(12);
        const jint sounds[] = {4, 4, 1, 2, 5, 1, 2, 3, 3, 4, 2, 0};
        for (jint c = 0; c < 12; ++c) cues->set(c, ints({sounds[c]}));
        audio->setCueTable(cues);
    }
};

TEST_F(SceneManagerFlowTest, ScenesChangeOnlyAfterInitNeverIntoTheCurrentOneAndStopTheSoundUnlessMuted) {
    VMPtr<FactoryManager> sm = FactoryManager::create()->construct();
    EXPECT_EQ(sm->log, (Log{"setupFonts", "setupLoadingPage", "createGameSave"}));
    EXPECT_EQ(sm->currentSceneId, -1);
    sm->log.clear();

    sm->changeScene(1);  // before init: recorded only
    EXPECT_EQ(sm->currentSceneId, 1);
    EXPECT_EQ(sm->scene, nullptr);
    EXPECT_TRUE(sm->log.empty());
    Log sound;
    recordSound(&sound);
    sm->init();
    EXPECT_EQ(sm->log, (Log{"createScene 1"}));
    EXPECT_EQ(sm->previousSceneId, -1);
    ASSERT_NE(sm->scene, nullptr);
    EXPECT_EQ(sm->logScene()->log, (Log{"stage0", "stage1", "stage2"}));  // started before changeScene returned
    EXPECT_EQ(sound, (Log{"stopChannel -1", "playOnChannel 0 0"}));       // the old music stops, the scene starts it

    // The same id again does nothing: no release, no cache clear.
    ResManager::load(scenetest::kSquares, -1);
    sm->changeScene(1);
    EXPECT_EQ(ResManager::usedSlots, 1);
    EXPECT_EQ(sm->log, (Log{"createScene 1"}));

    // Into a staged scene: sound first, the old scene released, touch
    // regions and cache emptied, the new scene built but not started.
    VMPtr<MyPointer> pointer = sm->pointer;
    pointer->addUpRegion(ints({0, 0, 10, 10}));
    sound.clear();
    sm->log.clear();
    sm->changeScene(2);
    EXPECT_EQ(sound, (Log{"stopChannel -1"}));
    EXPECT_EQ(sm->log, (Log{"scene1.release", "createScene 2"}));
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 0);
    EXPECT_EQ(ResManager::usedSlots, 0);
    EXPECT_EQ(sm->previousSceneId, 1);
    EXPECT_TRUE(sm->logScene()->loading);
    EXPECT_TRUE(sm->logScene()->log.empty());

    // Muted: the channels are left alone.
    sm->audio->setMuted(true);
    sound.clear();
    sm->log.clear();
    sm->changeScene(5);  // builds nothing
    EXPECT_TRUE(sound.empty());
    EXPECT_EQ(sm->log, (Log{"scene2.release", "createScene 5"}));
    EXPECT_EQ(sm->scene, nullptr);
    // Without a scene a frame is the touch input alone, and the picture the
    // loading page alone.
    sm->log.clear();
    PointerInputEventManager::addEvent(PointerInputEventManager::PRESSED, 12, 34);
    sm->update();
    EXPECT_EQ((std::vector<jint>{pointer->getX(0), pointer->getY(0)}), (std::vector<jint>{12, 34}));
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 0);
    EXPECT_TRUE(sm->log.empty());
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    sm->paint(g);
    VMPtr<scenetest::LogGraphics> pageOnly = scenetest::logGraphics();
    com::ventrix::ui::LoadingPage::getInstance()->paint(pageOnly);
    EXPECT_FALSE(g->log.empty());
    EXPECT_EQ(g->log, pageOnly->log);

    // destroy without a scene still removes the regions and the cache.
    pointer->addDownRegion(ints({0, 0, 10, 10}));
    ResManager::load(scenetest::kSquares, scenetest::kSquareSet);
    sm->destroy();
    EXPECT_EQ(sm->pointer, nullptr);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 0);
    EXPECT_EQ(ResManager::gobCache, nullptr);
    EXPECT_EQ(ResManager::usedSlots, 0);
    ResManager::clear();                        // as Main's release at exit: nothing left to do
    ResManager::load(scenetest::kSquares, -1);  // the next load starts afresh
    EXPECT_EQ(ResManager::getFirstIndex(), 0);
}

TEST_F(SceneManagerFlowTest, AChangeAskedForInASceneUpdateActsAtOnce) {
    VMPtr<FactoryManager> sm = FactoryManager::create()->construct();
    sm->changeScene(1);
    sm->init();
    VMPtr<scenemanagertest::SwitchObject> o = scenemanagertest::SwitchObject::create();
    o->construct("switch", 0, &sm->log);
    o->to = 2;
    VMPtr<com::ventrix::ui::Scene> first = sm->scene;
    first->addObject(o);
    sm->log.clear();
    sm->update();
    EXPECT_EQ(sm->log, (Log{"scene1.update", "switch.update", "scene1.release", "switch.release", "createScene 2"}));
    EXPECT_EQ(sm->currentSceneId, 2);
    EXPECT_NE(sm->scene.get(), first.get());
    sm->update();  // the new scene's first loading step
    EXPECT_EQ(sm->logScene()->log, (Log{"stage0"}));
}

// Touches made on the scene before a change, and while the next one loads
// behind the loading page, are not the next scene's: the queue is emptied
// at the change and every frame until the new scene has been drawn, and the
// end of a touch begun before is no tap. Touches after that are taken.
TEST_F(SceneManagerFlowTest, TouchesMadeBeforeASceneIsDrawnAreNotItsOwn) {
    VMPtr<FactoryManager> sm = FactoryManager::create()->construct();
    sm->changeScene(1);
    sm->init();
    VMPtr<MyPointer> pointer = sm->pointer;
    PointerInputEventManager::addEvent(PointerInputEventManager::PRESSED, 10, 10);
    sm->changeScene(2);
    EXPECT_EQ(PointerInputEventManager::getEventCount(), 0);
    int frames = 0;
    for (; frames < 20 && sm->scene->loading; ++frames) {  // the last one ends the loading
        PointerInputEventManager::addEvent(PointerInputEventManager::PRESSED, 20, 20);
        PointerInputEventManager::addEvent(PointerInputEventManager::RELEASED, 20, 20);
        sm->update();
        EXPECT_EQ(PointerInputEventManager::getEventCount(), 0);
        EXPECT_FALSE((*pointer->justPressed)[0] || (*pointer->justReleased)[0] || (*pointer->isDown)[0]);
    }
    EXPECT_GT(frames, 1);
    ASSERT_FALSE(sm->scene->loading);
    // A finger put down before the change and lifted now.
    PointerInputEventManager::addEvent(PointerInputEventManager::RELEASED, 30, 30);
    sm->update();
    EXPECT_FALSE((*pointer->justReleased)[0]);
    EXPECT_TRUE((*pointer->isUp)[0]);
    // A tap on the scene shown.
    PointerInputEventManager::addEvent(PointerInputEventManager::PRESSED, 40, 40);
    sm->update();
    EXPECT_TRUE((*pointer->justPressed)[0]);
    PointerInputEventManager::addEvent(PointerInputEventManager::RELEASED, 41, 40);
    sm->update();
    EXPECT_TRUE((*pointer->justReleased)[0]);
    EXPECT_EQ(pointer->getX(0), 41);
}

TEST_F(SceneManagerFlowTest, MusicIsPreparedByCueAndStartedOnChannel0) {
    Log sound;
    VMPtr<RecordingMedia> media = recordSound(&sound);
    VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
    audio->musicLoaded = false;
    EXPECT_FALSE(audio->isMuted());
    EXPECT_FALSE(audio->isVibrationOn());
    audio->switchMusic(3, 0);  // no music yet: nothing
    audio->playMusic(11);      // no tables: sound 0 stops, nothing is prepared
    EXPECT_EQ(sound, (Log{"stopSound 0"}));
    EXPECT_FALSE(audio->musicLoaded);

    installGameTables();
    sound.clear();
    audio->playMusic(11);
    EXPECT_EQ(ts::io::resource::ResourcePack::currentPack, -1);  // the pack read for the sound is unloaded
    audio->startMusic();
    EXPECT_EQ(sound, (Log{"stopSound 0", "playSound 0 21509 -1 0", "playOnChannel 0 0"}));
    EXPECT_EQ(audio->currentCue, 11);

    sound.clear();
    audio->switchMusic(11, 0);  // the current cue: nothing
    audio->effectsPlaying = true;
    audio->switchMusic(3, 0);  // effects stop on channels 1 and 2, then cue 3
    EXPECT_EQ(sound, (Log{"stopChannel 1", "stopChannel 2", "stopSound 0", "playSound 0 21505 -1 0"}));
    EXPECT_FALSE(audio->effectsPlaying);

    // A cue outside the table, an empty row or a row naming no sound plays
    // nothing and keeps the music prepared before.
    VMPtr<VMArray<jint, 2>> cues = VMArray<jint, 2>::create(4);
    cues->set(0, ints({}));
    cues->set(1, ints({6}));
    cues->set(2, ints({-1}));
    cues->set(3, ints({2, 99}));
    audio->setCueTable(cues);
    (*cues->get(3))[0] = 77;  // the table was copied
    for (jint cue : {-1, 4, 0, 1, 2}) {
        sound.clear();
        audio->playMusic(cue);
        EXPECT_EQ(sound, (Log{"stopSound 0"})) << cue;
        EXPECT_EQ(audio->currentCue, 3) << cue;
    }
    sound.clear();
    audio->playMusic(3);
    EXPECT_EQ(sound, (Log{"stopSound 0", "playSound 0 21505 -1 0"}));

    // stopAllChannels keeps the music, stopMusic and close forget it.
    sound.clear();
    audio->stopAllChannels();
    audio->startMusic();
    audio->stopMusic();
    audio->startMusic();
    EXPECT_EQ(sound, (Log{"stopChannel -1", "playOnChannel 0 0", "stopChannel -1"}));
    EXPECT_EQ(audio->currentCue, -1);
    audio->destroy(0, 0);
    EXPECT_EQ(audio->mediaManager, nullptr);
    EXPECT_EQ(sound.back(), "close");
    audio->close();  // no manager: nothing
    EXPECT_EQ(sound.back(), "close");
    EXPECT_EQ(std::count(sound.begin(), sound.end(), "close"), 1);
}

TEST_F(SceneManagerFlowTest, VibrationNeedsTheSwitchAndPreparedMusicAndLastsHalfASecond) {
    VMPtr<scenemanagertest::VibrationCanvas> c = scenemanagertest::VibrationCanvas::create();
    c->construct(nullptr);
    c->postEvent(ts::TsCanvas::EVENT_EXIT);
    Main::canvas = c;
    AudioAndVibration::instance = nullptr;  // the canvas's exit event made one
    VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
    EXPECT_EQ(c->log, (Log{"vibration on"}));
    audio->vibrateIfEnabled(1);  // switch off
    audio->setVibrationOn(true);
    audio->vibrateIfEnabled(1);  // no music prepared
    EXPECT_EQ(c->log.size(), 1u);
    Log sound;
    recordSound(&sound);
    audio->vibrateIfEnabled(1);
    audio->vibrate(3, 4);
    audio->enableDeviceVibration(false);
    EXPECT_EQ(c->log, (Log{"vibration on", "vibrate 500", "vibrate 500", "vibration off"}));
    Main::canvas = nullptr;
    audio->enableDeviceVibration(true);  // without a canvas: nothing
    audio->vibrate(0, 0);
    EXPECT_EQ(c->log.size(), 4u);
    Main::canvas = canvas;
}

TEST_F(SceneManagerFlowTest, LogicalKeysAnswerForEachOfTheirKeyActions) {
    MyKey::instance = nullptr;
    VMPtr<MyKey> keys = MyKey::getInstance();
    EXPECT_EQ(keys->canvas.get(), canvas.get());
    // Which logical actions each key action answers for (released: 20 too).
    const std::map<jint, std::set<jint>> expected = {
        {1, {14}},     {2, {15}},     {3, {11}},          {4, {19}},  {5, {16}},     {6, {17}},     {7, {12, 21}},
        {8, {18}},     {10, {10}},    {15, {13, 19, 22}}, {16, {0}},  {17, {1}},     {18, {2, 14}}, {19, {3}},
        {20, {4, 15}}, {21, {5, 18}}, {22, {6, 16}},      {23, {7}},  {24, {8, 17}}, {25, {9}},     {27, {12}},
        {29, {13}},    {30, {14}},    {31, {17}},         {32, {15}}, {33, {16}},    {34, {18}}};
    const std::set<jint> anyReleased = {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 10, 3, 15, 4, 7};
    for (jint key = 1; key < 64; ++key) {
        auto found = expected.find(key);
        std::set<jint> want = found == expected.end() ? std::set<jint>{} : found->second;
        std::set<jint> pressed, held, released;
        canvas->frameKeys[key] = ts::TsCanvas::KEY_HELD | 1;
        for (jint a = -1; a <= 23; ++a) {
            if (keys->isPressed(a)) pressed.insert(a);
            if (keys->isHeld(a)) held.insert(a);
        }
        canvas->frameKeys[key] = jbyte(ts::TsCanvas::KEY_RELEASED);
        for (jint a = -1; a <= 23; ++a) {
            if (keys->isReleased(a)) released.insert(a);
        }
        canvas->frameKeys[key] = 0;
        EXPECT_EQ(pressed, want) << key;
        EXPECT_EQ(held, want) << key;
        if (anyReleased.count(key) != 0) want.insert(20);
        EXPECT_EQ(released, want) << key;
    }
    canvas->frameKeys[16] = ts::TsCanvas::KEY_HELD | 1;
    EXPECT_FALSE(keys->isPressed(20) || keys->isHeld(20) || keys->isPressed(100) || keys->isHeld(-5));
    canvas->frameKeys[16] = 0;
}

}  // namespace
