// The main menu: its build, the entry it opens on, stepping with wraps at
// both ends, the chosen entries, and its picture.
#include "menu_test_support.h"
#include "sam_SamGameSave.h"
#include "scene_menu_MainMenuScene.h"

using com::ventrix::ui::Addon;
using sam::SamGameSave;
using scene::menu::MainMenuScene;

namespace {

class MainMenuTest : public menutest::MenuFixture {
protected:
    void SetUp() override {
        menutest::MenuFixture::SetUp();
        SamGameSave::unlockedLevel = 0;
        SamGameSave::currentLevel = 0;
    }
    VMPtr<MainMenuScene> open() {
        VMPtr<MainMenuScene> s = MainMenuScene::create()->construct();
        posted = &eventCanvas(s.get())->posted;
        frames = load(s.get());
        return s;
    }
    static Addon* list(MainMenuScene* s) { return dynamic_cast<Addon*>(s->panel.get()); }
    // A touch pressed in one frame and released in the next; the scene acts
    // on it in the frame after.
    void touch(MainMenuScene* s, jint x, jint y) {
        press(x, y);
        tick(s);
        release(x, y);
        tick(s);
        tick(s);
    }

    static constexpr jint kBackX = 30, kForwardX = 450, kStripY = 472, kListX = 240;
    std::vector<jint>* posted = nullptr;
    int frames = 0;
};

TEST_F(MainMenuTest, BuildsTheTitleStripAndAOneRowList) {
    VMPtr<MainMenuScene> s = open();
    EXPECT_EQ(frames, 8);  // five background steps, stage 1, the list, the end of loading
    EXPECT_EQ(com::ventrix::ui::LoadingPage::getInstance()->total, 6);
    com::ventrix::ui::Screen* bg = s->screen.get();
    EXPECT_EQ(bg->getSlotCount(), 6);
    EXPECT_EQ(bg->rectLayer, 3);
    // The bands: the top band and its line, the strip across the screen.
    std::vector<std::vector<jint>> bands;
    for (jint i = 0; i < 4; ++i) {
        VMPtr<VMInts> r = bg->rects->get(i);
        bands.push_back({(*r)[0], (*r)[1], (*r)[2], (*r)[3], (*bg->rectColors)[i]});
    }
    EXPECT_EQ(bands,
              (std::vector<std::vector<jint>>{
                  {0, 0, 480, 152, 0x534741}, {0, 152, 480, 6, 0}, {0, 440, 480, 64, 0x534741}, {0, 504, 480, 6, 0}}));
    // The markers at the list's ends, the right one mirrored.
    EXPECT_EQ((std::vector<jint>{bg->getSlotX(3), bg->getSlotY(3), bg->getSlotX(4), bg->getSlotY(4)}),
              (std::vector<jint>{64, 472, 416, 472}));
    EXPECT_EQ(bg->getTransform(3) ^ bg->getTransform(4), 2);
    Addon* menu = list(s.get());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ((std::vector<jint>{menu->areaX, menu->areaY, menu->areaWidth, menu->areaHeight}),
              (std::vector<jint>{64, 440, 352, 64}));
    EXPECT_EQ(menu->visibleRows, 1);
    EXPECT_EQ(std::vector<jint>(menu->items->elements(), menu->items->elements() + 5),
              (std::vector<jint>{23, 17, 12, 13, 15}));
    EXPECT_TRUE(menu->isActive());
    // A touched row is marked on both sides by the list's small marker, drawn
    // left of its anchor (not by the pause panel of the same graphics), and
    // the list's graphics go back to the cache with the scene.
    ASSERT_NE(menu->listFrame.get(), nullptr);
    VMPtr<VMInts> marker = VMInts::create(4);
    menu->listFrame->getBounds(0, marker);
    EXPECT_LT((*marker)[0] + (*marker)[2], 0);
    EXPECT_GT((*marker)[2], 0);
    EXPECT_LE((*marker)[3], menu->itemHeight);
    const jint listSlot = menu->listSecondIndex;
    EXPECT_GT(animRefs(listSlot), 0);
    s->dispose();
    EXPECT_EQ(animRefs(listSlot), 0);
}

TEST_F(MainMenuTest, OpensOnTrainingUntilItIsDoneThenOnMissions) {
    struct Case {
        jint unlocked, current, firstRow, currentAfter;
    };
    for (const Case& c : {Case{0, 4, 0, 0}, Case{3, -1, 0, 0}, Case{3, 2, 1, 2}, Case{10, 10, 1, 10}}) {
        SamGameSave::unlockedLevel = c.unlocked;
        SamGameSave::currentLevel = c.current;
        VMPtr<MainMenuScene> s = open();
        EXPECT_EQ(list(s.get())->getFirstRow(), c.firstRow);
        EXPECT_EQ(SamGameSave::currentLevel, c.currentAfter);
        s->dispose();
    }
}

TEST_F(MainMenuTest, StepsThroughTheEntriesAndWrapsAtBothEnds) {
    VMPtr<MainMenuScene> s = open();
    Addon* menu = list(s.get());
    std::vector<jint> rows;
    auto step = [&](jint x, jint y) {
        touch(s.get(), x, y);
        rows.push_back(menu->getFirstRow());
    };
    step(kBackX, kStripY);     // 0 wraps to 4
    step(kBackX, kStripY);     // 3
    step(kForwardX, kStripY);  // 4
    step(kForwardX, kStripY);  // 4 wraps to 0
    step(kForwardX, kStripY);  // 1
    step(240, 300);            // outside the strip: nothing
    step(kListX, 530);         // under the strip: nothing
    EXPECT_EQ(rows, (std::vector<jint>{4, 3, 4, 0, 1, 1, 1}));
    EXPECT_TRUE(manager->asked.empty());

    // With more rows in view the wraps keep the list full: back from the first
    // entry shows the last three, forward from there the first three.
    menu->visibleRows = 3;
    menu->setFirstRow(0);
    rows.clear();
    step(kBackX, kStripY);
    step(kForwardX, kStripY);
    step(kForwardX, kStripY);
    step(kForwardX, kStripY);
    step(kForwardX, kStripY);
    EXPECT_EQ(rows, (std::vector<jint>{2, 0, 1, 2, 0}));

    // While the menu is locked it takes no touch.
    MainMenuScene::menuLocked = 1;
    step(kBackX, kStripY);
    EXPECT_EQ(rows.back(), 0);
    MainMenuScene::menuLocked = 0;
    s->dispose();
}

TEST_F(MainMenuTest, TheChosenEntryChangesSceneOrEndsTheApplication) {
    VMPtr<MainMenuScene> s = open();
    Addon* menu = list(s.get());
    for (jint row = 0; row < 5; ++row) {
        menu->setFirstRow(row);
        touch(s.get(), kListX, kStripY);
    }
    EXPECT_EQ(manager->asked, (std::vector<jint>{12, 10, 6, 4}));
    EXPECT_EQ(*posted, (std::vector<jint>{ts::TsCanvas::EVENT_EXIT}));
    // The two entries no list offers, and ids it does not know.
    manager->asked.clear();
    for (jint id : {1, 18, 0, 99, -1}) s->choose(id);
    EXPECT_EQ(manager->asked, (std::vector<jint>{7, 2}));
    s->dispose();
}

TEST_F(MainMenuTest, GoldenMainMenu) {
    VMPtr<MainMenuScene> s = open();
    EXPECT_TRUE(matchesGolden("game", "main_menu", picture(s.get()), GoldenTolerance{48, 0.004}));
    press(kListX, kStripY);
    tick(s.get());
    tick(s.get());
    EXPECT_TRUE(matchesGolden("game", "main_menu_pressed", picture(s.get()), GoldenTolerance{48, 0.004}));
    s->dispose();
}

}  // namespace
