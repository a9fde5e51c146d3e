// The game's scene manager and application class: the set-up at
// construction, the scene of every id, the music after a resume, and the
// start by name into the logo scene.
#include <string>
#include <vector>

#include "ZedIRIvoz.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyFont.h"
#include "global_GameScene.h"
#include "java_lang_Class.h"
#include "sam_SamGameSave.h"
#include "sam_SamSceneManager.h"
#include "scene/menu/select_test_support.h"
#include "scene_ingame_InGameScene.h"
#include "scene_menu_SelectLevelScene.h"
#include "ts_MediaManager.h"

using com::ventrix::common::Main;
using com::ventrix::ui::LoadingPage;
using com::ventrix::ui::Scene;
using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::SceneManager;
using global::GameScene;
using sam::SamSceneManager;

namespace samtest {

// Notes the calls that start or stop sound.
class NoteMedia : public virtual java::lang::Object, public virtual ts::MediaManager {
    VM_DECLARE_CLASS(NoteMedia, java::lang::Object)

public:
    std::vector<std::string> log;
    void init(VMPtr<ts::TsCanvas>, jint) override {}
    void playSound(jint, jint, jint, jint) override { log.push_back("playSound"); }
    void playOnChannel(jint channel, jint sound) override {
        log.push_back("playOnChannel " + std::to_string(channel) + " " + std::to_string(sound));
    }
    void stopSound(jint) override {}
    void stopChannel(jint) override {}
    jint getChannelCount() override { return 3; }
    void close() override {}
};

}  // namespace samtest

VM_REGISTER_CLASS(samtest::NoteMedia, .name = "samtest.NoteMedia",
                  .sourceName = "tests/game/sam/sam_SamSceneManager_test", .interfaces = {"ts.MediaManager"})

namespace {

class SceneFactoryTest : public selecttest::GameFolderTest {
protected:
    void TearDown() override {
        VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
        audio->mediaManager = nullptr;
        audio->musicLoaded = false;
        Main::game = nullptr;
        selecttest::GameFolderTest::TearDown();
    }
    // Sound calls go to a media manager that notes them; music is prepared
    // with the given cue.
    VMPtr<samtest::NoteMedia> noteSound(jint cue) {
        VMPtr<samtest::NoteMedia> media = samtest::NoteMedia::create();
        VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
        audio->mediaManager = media;
        audio->musicLoaded = true;
        audio->currentCue = cue;
        return media;
    }
    static std::string className(Scene* s) { return s == nullptr ? "" : ::text(s->getClass()->getName()); }
};

TEST_F(SceneFactoryTest, ConstructionSetsUpTextsFontsLoadingPageAndSaveThenBecomesTheManager) {
    VMPtr<SamSceneManager> m = SamSceneManager::create()->construct();
    EXPECT_EQ(SceneManager::getInstance().get(), m.get());
    EXPECT_EQ(m->currentSceneId, -1);
    VMPtr<com::ventrix::utility::MyFont> font = com::ventrix::utility::MyFont::getInstance();
    ASSERT_NE(font->texts.get(), nullptr);
    EXPECT_EQ(::text(font->texts->getString(28)), "Mission");
    VMPtr<VMInts> fonts = com::ventrix::utility::MyFont::fontResourceIds;
    ASSERT_NE(fonts.get(), nullptr);
    EXPECT_EQ((std::vector<jint>{fonts->length, (*fonts)[0], (*fonts)[1]}), (std::vector<jint>{2, 0x4C00, 0x4C01}));
    VMPtr<LoadingPage> page = LoadingPage::getInstance();
    EXPECT_EQ(page->style, 1);
    EXPECT_EQ(((std::vector<jint>{(*page->picture)[0], (*page->picture)[1]})), (std::vector<jint>{0x4805, 0x4801}));
    EXPECT_EQ(((std::vector<jint>{page->textFont, page->textId})), (std::vector<jint>{1, 25}));
    EXPECT_EQ(((std::vector<jint>{(*page->barColours)[0], (*page->barColours)[1]})),
              (std::vector<jint>{0xB36D2E, 0xD02B15}));
    std::vector<int> switches;
    for (jint row = 0; row < 2; ++row)
        for (jint k = 0; k < 5; ++k) switches.push_back((*page->styles->get(row))[k] ? 1 : 0);
    EXPECT_EQ(switches, (std::vector<int>{0, 1, 1, 1, 1, 0, 0, 0, 1, 1}));
    EXPECT_NE(dynamic_cast<sam::SamGameSave*>(Main::game.get()), nullptr);
}

// Every id from -1 to 17: the class built, its staged loading and, for the
// level selection, the mode it starts in.
TEST_F(SceneFactoryTest, EveryIdBuildsItsScene) {
    VMPtr<SamSceneManager> m = SamSceneManager::create()->construct();
    // clang-format off
    const struct Case {
        jint id;
        const char* made;  // "" nothing
        jint style;        // of the loading page, for a staged load; -1 none
    } cases[] = {
        {-1, "", 0}, {3, "", 0}, {5, "", 0}, {8, "", 0}, {17, "", 0}, {0x7FFF, "", 0},
        {0, "scene.LogoScene", -1}, {1, "scene.menu.MainMenuScene", 0},
        {2, "scene.menu.MenuOptionScene", 0}, {4, "scene.menu.MenuOptionScene", 0},
        {6, "scene.menu.MenuOptionScene", 0}, {7, "scene.menu.MenuOptionScene", 0},
        {15, "scene.menu.MenuOptionScene", 0}, {16, "scene.menu.MenuOptionScene", 0},
        {9, "scene.ingame.InGameScene", 1}, {12, "scene.ingame.InGameScene", 0},
        {10, "scene.menu.SelectLevelScene", 0}, {11, "scene.menu.SelectLevelScene", 0},
        {13, "scene.menu.SelectLevelScene", 0}, {14, "scene.menu.SelectLevelScene", 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        sam::SamGameSave::currentLevel = 2;
        LoadingPage::getInstance()->style = -7;
        m->scene = nullptr;
        m->currentSceneId = jshort(c.id);
        m->createScene();
        Scene* s = m->scene.get();
        EXPECT_EQ(className(s), c.made) << c.id;
        if (s == nullptr) {
            EXPECT_EQ(LoadingPage::getInstance()->style, -7) << c.id;  // no loading started
            continue;
        }
        // Only the logo starts at once.
        EXPECT_EQ(s->loading, c.style >= 0) << c.id;
        EXPECT_EQ(LoadingPage::getInstance()->style, c.style >= 0 ? c.style : -7) << c.id;
        if (auto* select = dynamic_cast<scene::menu::SelectLevelScene*>(s)) {
            EXPECT_EQ(select->mode, c.id);
        }
        if (c.id == GameScene::TUTORIAL) {
            EXPECT_EQ(sam::SamGameSave::currentLevel, -1);
        }
        s->dispose();
    }
    m->scene = nullptr;
}

// Scene 9 switches to the level's music and starts it before the scene
// exists.
TEST_F(SceneFactoryTest, LevelSceneStartsItsMusic) {
    VMPtr<SamSceneManager> m = SamSceneManager::create()->construct();
    sam::SamGameSave::currentLevel = 4;
    VMPtr<samtest::NoteMedia> media = noteSound(4);
    m->currentSceneId = GameScene::LEVEL;
    m->createScene();
    EXPECT_EQ(media->log, (std::vector<std::string>{"playOnChannel 0 0"}));
    m->scene->dispose();
    m->scene = nullptr;
}

// After a resume the music plays again, except while a level of scene 9 is
// paused; the tutorial level's scene (12) is not asked.
TEST_F(SceneFactoryTest, MusicAfterAResume) {
    VMPtr<SamSceneManager> m = SamSceneManager::create()->construct();
    VMPtr<samtest::NoteMedia> media = noteSound(0);
    struct Case {
        jint id;
        bool paused;
        bool plays;
    } cases[] = {{GameScene::LEVEL, true, false},
                 {GameScene::LEVEL, false, true},
                 {GameScene::TUTORIAL, true, true},
                 {GameScene::BROWSE_LEVELS, true, true},
                 {3, false, true}};
    for (const Case& c : cases) {
        media->log.clear();
        m->currentSceneId = jshort(c.id);
        m->scene = nullptr;
        if (c.id == GameScene::LEVEL) m->scene = scene::ingame::InGameScene::create()->construct();
        if (c.id == GameScene::TUTORIAL) m->scene = scene::ingame::InGameScene::create()->construct(c.id);
        if (c.id == GameScene::BROWSE_LEVELS) m->scene = scene::menu::SelectLevelScene::create()->construct(c.id);
        if (m->scene != nullptr) m->scene->quietOnResume = c.paused;
        m->afterResume();
        EXPECT_EQ(media->log.size(), c.plays ? 1u : 0u) << c.id;
        if (m->scene != nullptr) m->scene->dispose();
    }
    m->scene = nullptr;
}

// The application manager makes the application class by name; its
// scene manager records the logo scene, entered by the first tick.
TEST_F(SceneFactoryTest, ApplicationClassMadeByNameRecordsTheLogoScene) {
    java::lang::Class* type = java::lang::Class::forName(VM_STR("ZedIRIvoz"));
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(std::string(type->superName.c_str()), "com.ventrix.common.CommonMIDlet");
    VMPtr<java::lang::Object> made = type->newInstance();
    auto* app = dynamic_cast<ZedIRIvoz*>(made.get());
    ASSERT_NE(app, nullptr);
    VMPtr<Main> controller = Main::create()->construct(canvas);
    app->main = controller;
    app->createSceneManager();
    VMPtr<SceneManager> m = SceneManager::getInstance();
    ASSERT_NE(dynamic_cast<SamSceneManager*>(m.get()), nullptr);
    EXPECT_EQ(Main::sceneManager.get(), m.get());
    EXPECT_EQ(m->currentSceneId, GameScene::LOGO);  // recorded, not entered
    EXPECT_EQ(m->scene.get(), nullptr);
    app->main = nullptr;
    Main::sceneManager = nullptr;
}

}  // namespace
