// The option and information pages: what each scene id builds, the sound
// question (the start-up tables, both answers, leaving without one), the
// information text and its scrolling, pages without input, and pictures.
#include "com_ventrix_common_Main.h"
#include "menu_test_support.h"
#include "sam_SamGameSave.h"
#include "scene_menu_MenuOptionScene.h"

using com::ventrix::common::Main;
using com::ventrix::ui::Addon;
using com::ventrix::utility::AudioAndVibration;
using java::lang::String;
using sam::SamGameSave;
using scene::menu::MenuButton;
using scene::menu::MenuOptionScene;
using Bytes = std::vector<uint8_t>;

namespace {

class OptionPageTest : public menutest::MenuFixture {
protected:
    void SetUp() override {
        menutest::MenuFixture::SetUp();
        _VM_ensureInitialized(Main::_VM_classRecord);
        save = SamGameSave::create()->construct();  // the defaults: option 0, sound on
        Main::game = save;
    }
    void TearDown() override {
        Main::game = nullptr;
        menutest::MenuFixture::TearDown();
    }
    VMPtr<MenuOptionScene> open(jint id) {
        VMPtr<MenuOptionScene> s = MenuOptionScene::create()->construct(id);
        eventCanvas(s.get());
        keys = menutest::ScriptKey::create()->construct();
        s->key = keys;
        frames = load(s.get());
        return s;
    }
    Bytes store0() {
        VMPtr<VMBytes> b = canvas->loadRecordStore(0);
        return b == nullptr ? Bytes() : Bytes(b->elements(), b->elements() + b->length);
    }
    static std::string title(MenuOptionScene* s) {
        return text(dynamic_cast<Addon*>(s->panel.get())->labelText->get(0));
    }
    // The labels of the visible buttons.
    static std::vector<jint> shown(MenuOptionScene* s) {
        std::vector<jint> ids;
        for (jint i = 0; i < MenuOptionScene::BUTTONS; ++i) {
            MenuButton* b = s->buttons->get(i);
            if (b->isVisible()) ids.push_back(b->textId);
        }
        return ids;
    }
    // A touch pressed and released in one poll; the page acts in the next frame.
    void touch(MenuOptionScene* s, jint x, jint y) {
        tap(x, y);
        tick(s);
        tick(s);
    }
    static std::string textOf(jint id) {
        return text(com::ventrix::utility::MyFont::getInstance()->texts->getString(id));
    }

    VMPtr<SamGameSave> save;
    VMPtr<menutest::ScriptKey> keys;
    int frames = 0;
    // The sound question's buttons and the back control.
    static constexpr jint kOnX = 240, kOnY = 270, kOffX = 240, kOffY = 370, kBackX = 60, kBackY = 600;
};

TEST_F(OptionPageTest, EachSceneIdBuildsItsPage) {
    struct Case {
        jint id, kind, title;
        std::vector<jint> buttons;
        jint backFrame;
    };
    const Case cases[] = {
        {7, 0, 1, {2, 3, 4, 5, 6}, 2},  {6, 1, 12, {11, 10}, 2},  {2, 2, 18, {10, 4}, 2},         {4, 3, 13, {}, 2},
        {16, 4, 1, {2, 3, 4, 5, 6}, 3}, {15, 5, 12, {11, 10}, 3}, {99, 0, 1, {2, 3, 4, 5, 6}, 2},
    };
    SamGameSave::soundSetting = 1;
    SamGameSave::optionIndex = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE("scene " + std::to_string(c.id));
        VMPtr<MenuOptionScene> s = open(c.id);
        EXPECT_EQ(frames, 12);  // nine page steps, stage 1, the panel, the end of loading
        EXPECT_EQ(com::ventrix::ui::LoadingPage::getInstance()->total, 10);
        EXPECT_EQ(s->pageKind, c.kind);
        EXPECT_EQ(title(s.get()), textOf(c.title));
        EXPECT_EQ(shown(s.get()), c.buttons);
        EXPECT_EQ(s->screen->getSlotIndex(1), c.backFrame);
        EXPECT_EQ(s->pressedIndex, -1);
        EXPECT_EQ(s->gameSave.get(), save.get());
        // The title band and its line run across the screen under the title.
        VMPtr<VMInts> band = s->screen->rects->get(0);
        EXPECT_EQ((std::vector<jint>{(*band)[0], (*band)[1], (*band)[2], (*band)[3]}),
                  (std::vector<jint>{0, 40, 480, 72}));
        s->dispose();
    }
}

TEST_F(OptionPageTest, TheStartUpQuestionInstallsTheSoundsMutesAndSavesTheAnswer) {
    SamGameSave::optionIndex = 3;
    VMPtr<MenuOptionScene> s = open(15);
    VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
    EXPECT_TRUE(audio->isMuted());
    const VMPtr<VMInts> ids = AudioAndVibration::soundIds;
    EXPECT_EQ(std::vector<jint>(ids->elements(), ids->elements() + ids->length),
              (std::vector<jint>{0x5405, 0x5400, 0x5401, 0x5402, 0x5403, 0x5404}));
    std::vector<jint> cues;
    for (jint i = 0; i < AudioAndVibration::cueTable->length; ++i) {
        EXPECT_EQ(AudioAndVibration::cueTable->get(i)->length, 1);
        cues.push_back((*AudioAndVibration::cueTable->get(i))[0]);
    }
    EXPECT_EQ(cues, (std::vector<jint>{4, 4, 1, 2, 5, 1, 2, 3, 3, 4, 2, 0}));

    // Sound on: cue 11 (sound 0x5405) is prepared and started, record 0
    // saved, and the main menu follows.
    SamGameSave::soundSetting = 0;
    touch(s.get(), kOnX, kOnY);
    EXPECT_EQ(SamGameSave::soundSetting, 1);
    EXPECT_EQ(store0(), (Bytes{0, 0, 0, 3, 0, 0, 0, 1}));
    EXPECT_EQ(media->log, (menutest::Log{"stopSound 0", "playSound 0 21509 -1 0", "playOnChannel 0 0"}));
    EXPECT_EQ(manager->asked, (std::vector<jint>{1}));
    s->dispose();

    // Sound off from the sound page: the music stops.
    manager->asked.clear();
    media->log.clear();
    s = open(6);
    touch(s.get(), kOffX, kOffY);
    EXPECT_EQ(SamGameSave::soundSetting, 0);
    EXPECT_EQ(store0(), (Bytes{0, 0, 0, 3, 0, 0, 0, 0}));
    EXPECT_EQ(media->log, (menutest::Log{"stopChannel -1"}));
    EXPECT_EQ(manager->asked, (std::vector<jint>{1}));
    s->dispose();
}

TEST_F(OptionPageTest, TheBackControlLeavesWithoutSavingOrSound) {
    VMPtr<MenuOptionScene> s = open(15);
    const Bytes before = store0();
    touch(s.get(), 240, 580);  // beside the control and under the buttons: nothing
    EXPECT_TRUE(manager->asked.empty());
    touch(s.get(), kBackX, kBackY);
    EXPECT_EQ(manager->asked, (std::vector<jint>{1}));
    EXPECT_EQ(store0(), before);
    EXPECT_EQ(SamGameSave::soundSetting, 1);
    EXPECT_TRUE(media->log.empty());
    EXPECT_TRUE(AudioAndVibration::getInstance()->isMuted());
    s->dispose();

    // The pages of ids 2, 7 and 16 take no input at all.
    for (jint id : {2, 7, 16}) {
        manager->asked.clear();
        s = open(id);
        touch(s.get(), kBackX, kBackY);
        touch(s.get(), kOnX, 180);
        keys->pressed = {12};
        tick(s.get());
        EXPECT_TRUE(manager->asked.empty()) << id;
        EXPECT_EQ(store0(), before);
        s->dispose();
    }
}

TEST_F(OptionPageTest, TheInformationTextScrollsByTouchAndKeysAndBackWins) {
    VMPtr<MenuOptionScene> s = open(4);
    Addon* panel = dynamic_cast<Addon*>(s->panel.get());
    const std::string body = text(panel->text->getText());
    EXPECT_EQ(body, textOf(20) + "\n" + textOf(21) + "1.98.36\n\n" + textOf(27));
    // Box 1 of the information panel, centred.
    EXPECT_EQ((std::vector<jint>{panel->textX, panel->textY, panel->textWidth, panel->textHeight}),
              (std::vector<jint>{54, 154, 372, 372}));

    // A text long enough to scroll.
    std::string longer;
    for (int i = 0; i < 40; ++i) longer += "Line " + std::to_string(i) + "\n";
    panel->setText(String::_VM_fromUTF8(longer.c_str()));
    ASSERT_LT(panel->visibleLines, panel->lineCount);
    std::vector<jint> lines;
    // One frame with these keys pressed, and a touch taken by the poll before it.
    auto frame = [&](std::set<jint> pressed, jint x = -1, jint y = -1) {
        if (x >= 0) {
            tap(x, y);
            tick(s.get());
        }
        keys->pressed = std::move(pressed);
        tick(s.get());
        keys->pressed.clear();
        lines.push_back(panel->firstLine);
    };
    frame({17});            // down key
    frame({17});            // down key
    frame({14});            // up key
    frame({}, 240, 480);    // lower half: down
    frame({17}, 240, 200);  // upper half wins over the down key
    frame({14, 17});        // up wins over down
    frame({});              // nothing
    EXPECT_EQ(lines, (std::vector<jint>{1, 2, 1, 2, 1, 0, 0}));
    EXPECT_TRUE(manager->asked.empty());

    frame({12, 14, 17});  // back wins over up and down
    EXPECT_EQ(manager->asked, (std::vector<jint>{1}));
    EXPECT_EQ(lines.back(), 0);
    manager->asked.clear();
    frame({}, kBackX, kBackY);
    EXPECT_EQ(manager->asked, (std::vector<jint>{1}));
    s->dispose();
}

TEST_F(OptionPageTest, GoldenSoundQuestionAndInformation) {
    const GoldenTolerance text{48, 0.004};
    VMPtr<MenuOptionScene> s = open(15);
    EXPECT_TRUE(matchesGolden("game", "option_sound", picture(s.get()), text));
    s->dispose();
    s = open(4);
    EXPECT_TRUE(matchesGolden("game", "option_information", picture(s.get()), text));
    s->dispose();
    SamGameSave::optionIndex = 1;
    s = open(2);
    EXPECT_TRUE(matchesGolden("game", "option_settings", picture(s.get()), text));
    s->dispose();
}

}  // namespace
