// The level selection: the entry each scene id opens on, its loading, the
// briefing and the picture between level groups with their countdown, the
// arrows and slides, the buttons, and how it looks.
#include "select_test_support.h"
#include "sam_SamGameSave.h"
#include "scene_menu_SelectLevelScene.h"

using com::ventrix::ui::LoadingPage;
using com::ventrix::ui::Screen;
using scene::menu::SelectLevelScene;

namespace {

class SelectLevelTest : public selecttest::GameFolderTest {
protected:
    VMPtr<SelectLevelScene> open(jint sceneId, jint current, jint unlocked) {
        sam::SamGameSave::currentLevel = current;
        sam::SamGameSave::unlockedLevel = unlocked;
        VMPtr<SelectLevelScene> s = SelectLevelScene::create()->construct(sceneId);
        s->startLoading(0);
        load(s.get());
        return s;
    }
    // Frames until the mode is no slide any more; the modes seen, in order.
    std::vector<jint> runSlide(SelectLevelScene* s) {
        std::vector<jint> modes{s->mode};
        auto sliding = [s] { return s->mode == 101 || s->mode == 102 || s->mode == 104 || s->mode == 105; };
        for (int i = 0; i < 100 && sliding(); ++i) {
            frames(s, 1);
            if (modes.back() != s->mode) modes.push_back(s->mode);
        }
        return modes;
    }
    void tap(SelectLevelScene* s, jint layer) {
        releaseOn(s->buttons.get(), layer);
        s->update();
    }
    std::string label(SelectLevelScene* s) {
        auto* panel = static_cast<com::ventrix::ui::Addon*>(s->panel.get());
        return ::text(panel->labelText->get(0));
    }
};

TEST_F(SelectLevelTest, EntryOfEachSceneAndLevel) {
    // clang-format off
    const struct Case { jint sceneId, level, entry; } cases[] = {
        {10, 0, 0}, {10, 2, 2}, {10, 3, 4}, {10, 5, 6}, {10, 6, 8}, {10, 8, 10}, {10, 9, 12}, {10, 10, 13},
        {13, 4, 5}, {11, 7, 9}, {14, 3, 3}, {14, 6, 7}, {14, 9, 11}, {14, 0, 0},
        // Outside the levels: the tutorial level and stored values beyond the
        // last one stay on the entries.
        {10, -1, 0}, {13, 11, 13}, {10, 99, 13}, {14, 13, 13}, {14, -5, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(SelectLevelScene::entryOf(c.sceneId, c.level), c.entry) << c.sceneId << " " << c.level;
    }
    sam::SamGameSave::currentLevel = 9;
    VMPtr<SelectLevelScene> s = SelectLevelScene::create()->construct(10);
    EXPECT_EQ(s->entry, 12);
    EXPECT_EQ(s->mode, 10);
    EXPECT_EQ(LoadingPage::getInstance()->total, 13);
}

TEST_F(SelectLevelTest, LoadsInThirteenStepsAndOpensOnTheBrowseCard) {
    sam::SamGameSave::currentLevel = 5;
    sam::SamGameSave::unlockedLevel = 7;
    VMPtr<SelectLevelScene> s = SelectLevelScene::create()->construct(10);
    s->startLoading(0);
    std::vector<jint> counters;
    jint steps = 0;  // the loading page's steps before its end
    while (s->loading && counters.size() < 30) {
        counters.push_back(s->stage0Busy);
        steps = LoadingPage::getInstance()->progress;
        s->update();
    }
    // 12 screen steps, stage 1 (no step), the panel, then the end.
    EXPECT_EQ(counters.size(), 15u);
    EXPECT_EQ(std::vector<jint>(counters.begin(), counters.begin() + 12),
              (std::vector<jint>{0, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(steps, 13);

    // Painted in the order added: background, card, buttons, panel.
    ASSERT_NE(s->objects->get(3), nullptr);
    EXPECT_EQ(s->objects->get(0), s->screen.get());
    EXPECT_EQ(s->objects->get(1), s->card.get());
    EXPECT_EQ(s->objects->get(2), s->buttons.get());
    EXPECT_EQ(s->objects->get(3), s->panel.get());
    EXPECT_FALSE(s->panel->isVisible());

    Screen* card = s->card.get();
    Screen* b = s->buttons.get();
    EXPECT_EQ(s->entry, 6);
    EXPECT_EQ(card->getSlotCount(), 7);
    EXPECT_EQ(
        (std::vector<jint>{card->getSlotIndex(0), card->getSlotIndex(1), card->getSlotIndex(2), card->getSlotIndex(3)}),
        (std::vector<jint>{0, 6, 24, 24}));
    // Both buttons appear, both arrows are offered (level 5, highest 7).
    EXPECT_EQ((std::vector<jint>{b->getSlotIndex(0), b->getSlotIndex(1), b->getSlotIndex(2), b->getSlotIndex(4)}),
              (std::vector<jint>{0, 4, 6, 6}));
    EXPECT_EQ(b->getTransform(2) & 2, 2);  // the left arrow is mirrored
    frames(s.get(), 20);
    EXPECT_EQ((std::vector<jint>{b->getSlotIndex(0), b->getSlotIndex(1), b->getSlotIndex(2), b->getSlotIndex(4)}),
              (std::vector<jint>{1, 5, 7, 7}));
    // Beside an offered arrow its hint pulses.
    EXPECT_EQ(b->getSlotIndex(3), 0);
    EXPECT_EQ(b->getSlotIndex(5), 0);
    s->dispose();
}

TEST_F(SelectLevelTest, NextBriefingStartsOnANewTouchFireOrBelowZero) {
    VMPtr<SelectLevelScene> s = open(13, 4, 4);
    EXPECT_EQ(s->entry, 5);
    EXPECT_EQ(s->mode, 13);
    EXPECT_EQ(sam::SamGameSave::currentLevel, 4);
    EXPECT_EQ(s->countdown, 5000);
    EXPECT_TRUE(s->panel->isVisible());
    EXPECT_EQ(label(s.get()), "Six floors, two keys and a cook's whites.");  // text 32 + 5
    Screen* card = s->card.get();
    EXPECT_EQ((std::vector<jint>{card->getSlotIndex(0), card->getSlotIndex(2), card->getSlotIndex(3)}),
              (std::vector<jint>{24, 12, 17}));
    EXPECT_EQ((std::vector<jint>{imageOf(card, 4), imageOf(card, 5), imageOf(card, 6)}),
              (std::vector<jint>{0x3C02, 0x3C06 + 4, 0x3C0F + 3}));
    EXPECT_EQ(s->buttons->getSlotIndex(0), 2);  // the buttons go
    EXPECT_EQ(s->buttons->getSlotIndex(1), 6);

    // A touch that began earlier, or that was pressed and released within
    // one poll, does not start the level.
    noTouch();
    (*com::ventrix::utility::MyPointer::getInstance()->isDown)[0] = true;
    s->update();
    pressNow(true);
    s->update();
    EXPECT_TRUE(manager->asked.empty());
    pressNow(false);
    s->update();
    EXPECT_EQ(manager->asked, (std::vector<jint>{9}));

    // The countdown fires in the first frame below 0, not at 0.
    manager->asked.clear();
    VMPtr<SelectLevelScene> t = open(13, 1, 1);
    t->countdown = 80;
    frames(t.get(), 2);
    EXPECT_EQ(t->countdown, 0);
    EXPECT_TRUE(manager->asked.empty());
    frames(t.get(), 1);
    EXPECT_EQ(manager->asked, (std::vector<jint>{9}));
    s->dispose();
    t->dispose();
}

TEST_F(SelectLevelTest, InterludeShowsItsPictureThenTheNextBriefing) {
    VMPtr<SelectLevelScene> s = open(14, 6, 6);
    EXPECT_EQ(s->entry, 7);
    EXPECT_EQ(s->mode, 14);
    Screen* card = s->card.get();
    EXPECT_EQ(imageOf(card, 5), 0x4401);
    EXPECT_EQ(card->getSlotIndex(0), 24);
    EXPECT_FALSE(s->panel->isVisible());
    // Runs out without input: entry 8, level 6, the briefing's countdown anew.
    frames(s.get(), 5000 / 40);
    EXPECT_EQ(s->mode, 14);
    frames(s.get(), 1);
    EXPECT_EQ(s->mode, 13);
    EXPECT_EQ(s->entry, 8);
    EXPECT_EQ(sam::SamGameSave::currentLevel, 6);
    EXPECT_EQ(s->countdown, 5000);
    EXPECT_TRUE(manager->asked.empty());

    // Any new press steps on, even one released in the same poll.
    VMPtr<SelectLevelScene> t = open(14, 3, 3);
    EXPECT_EQ(imageOf(t->card.get(), 5), 0x4400);
    pressNow(true);
    t->update();
    EXPECT_EQ(t->mode, 13);
    EXPECT_EQ(t->entry, 4);
    EXPECT_EQ(sam::SamGameSave::currentLevel, 3);
    s->dispose();
    t->dispose();
}

TEST_F(SelectLevelTest, ArrowsSlideBetweenEntriesAndOverInterludes) {
    VMPtr<SelectLevelScene> s = open(10, 0, 3);
    frames(s.get(), 10);
    // No left move from the first entry.
    tap(s.get(), SelectLevelScene::LEFT);
    EXPECT_EQ(s->mode, 10);
    EXPECT_EQ(s->entry, 0);

    // Right: a plain slide, the card leaves to the left and comes back at 0.
    tap(s.get(), SelectLevelScene::RIGHT);
    EXPECT_EQ(s->mode, 101);
    EXPECT_EQ(s->buttons->getSlotIndex(0), 2);  // hidden while sliding
    EXPECT_EQ(runSlide(s.get()), (std::vector<jint>{101, 10}));
    EXPECT_EQ(s->entry, 1);
    EXPECT_EQ(s->card->getOriginX(), 0);

    // From entry 2 onto the interlude in two halves, ending in its browse.
    frames(s.get(), 10);
    tap(s.get(), SelectLevelScene::RIGHT);
    runSlide(s.get());
    frames(s.get(), 10);
    tap(s.get(), SelectLevelScene::RIGHT);
    EXPECT_EQ(runSlide(s.get()), (std::vector<jint>{101, 104, 106}));
    EXPECT_EQ(s->entry, 3);
    EXPECT_EQ(s->card->getOriginX(), 0);
    EXPECT_EQ(imageOf(s->card.get(), 5), 0x4400);
    EXPECT_EQ(s->card->getSlotIndex(4), 0);  // the card behind the picture
    // The buttons, gone, do nothing on an interlude.
    frames(s.get(), 10);
    EXPECT_EQ(s->buttons->getSlotIndex(0), 3);
    releaseAt(60, 600);
    s->update();
    EXPECT_EQ(s->mode, 106);
    EXPECT_TRUE(manager->asked.empty());

    // Off the interlude forward, to level 3, the highest: its right arrow
    // hides.
    tap(s.get(), SelectLevelScene::RIGHT);
    EXPECT_EQ(runSlide(s.get()), (std::vector<jint>{104, 101, 10}));
    EXPECT_EQ(s->entry, 4);
    frames(s.get(), 20);
    EXPECT_EQ(s->buttons->getSlotIndex(4), 9);
    // Not offered, the right arrow does nothing, though its hidden
    // animation keeps its touch area.
    tap(s.get(), SelectLevelScene::RIGHT);
    EXPECT_EQ(s->mode, 10);
    EXPECT_EQ(s->entry, 4);

    // Back from entry 4 onto the interlude and on to entry 2.
    tap(s.get(), SelectLevelScene::LEFT);
    EXPECT_EQ(runSlide(s.get()), (std::vector<jint>{102, 105, 106}));
    EXPECT_EQ(s->entry, 3);
    frames(s.get(), 10);
    tap(s.get(), SelectLevelScene::LEFT);
    EXPECT_EQ(runSlide(s.get()), (std::vector<jint>{105, 102, 10}));
    EXPECT_EQ(s->entry, 2);
    s->dispose();
}

// The positions of one forward slide at 40 ms a frame.
TEST_F(SelectLevelTest, SlidePositions) {
    VMPtr<SelectLevelScene> s = open(10, 0, 1);
    frames(s.get(), 10);
    tap(s.get(), SelectLevelScene::RIGHT);
    std::vector<jint> xs;
    while (s->mode == 101 && xs.size() < 40) {
        frames(s.get(), 1);
        xs.push_back(s->card->getOriginX());
    }
    EXPECT_EQ(xs, (std::vector<jint>{0, 76, 153, 230, 307, 384, 460, -480, -404, -327, -250, -173, -96, -20, 0}));
    s->dispose();
}

// On the last entry even an offered right arrow (a highest level beyond the
// last one) moves no further.
TEST_F(SelectLevelTest, RightArrowStopsAtTheLastEntry) {
    VMPtr<SelectLevelScene> s = open(10, 10, 10);
    s->highestLevel = 11;
    s->showMode();
    frames(s.get(), 20);
    EXPECT_EQ(s->buttons->getSlotIndex(4), 7);
    tap(s.get(), SelectLevelScene::RIGHT);
    EXPECT_EQ(s->mode, 10);
    EXPECT_EQ(s->entry, 13);
    s->dispose();
}

TEST_F(SelectLevelTest, ButtonsOpenTheBriefingStartTheLevelOrGoBack) {
    VMPtr<SelectLevelScene> s = open(10, 1, 5);
    frames(s.get(), 10);
    tap(s.get(), SelectLevelScene::GO);
    EXPECT_EQ(s->mode, 11);
    EXPECT_EQ(sam::SamGameSave::currentLevel, 1);
    EXPECT_TRUE(s->panel->isVisible());
    EXPECT_EQ(label(s.get()), "Many doors, few keys.");
    EXPECT_EQ(s->buttons->getSlotIndex(2), 8);  // the arrows go
    // The arrows do nothing in the briefing.
    frames(s.get(), 10);
    releaseAt(450, 320);
    s->update();
    EXPECT_EQ(s->mode, 11);

    tap(s.get(), SelectLevelScene::BACK);
    EXPECT_EQ(s->mode, 10);
    EXPECT_FALSE(s->panel->isVisible());
    EXPECT_EQ(s->card->getSlotKind(4), Screen::KIND_FRAME);
    frames(s.get(), 10);
    tap(s.get(), SelectLevelScene::GO);
    frames(s.get(), 10);
    tap(s.get(), SelectLevelScene::GO);
    EXPECT_EQ(s->mode, 103);
    // The level starts when both buttons have gone.
    int n = 0;
    while (manager->asked.empty() && n < 50) {
        frames(s.get(), 1);
        ++n;
    }
    EXPECT_EQ(manager->asked, (std::vector<jint>{9}));
    EXPECT_GT(n, 1);

    VMPtr<SelectLevelScene> t = open(10, 1, 5);
    frames(t.get(), 10);
    tap(t.get(), SelectLevelScene::BACK);
    EXPECT_EQ(manager->asked, (std::vector<jint>{9, 1}));
    s->dispose();
    t->dispose();
}

TEST_F(SelectLevelTest, GoldenBrowseBriefingAndInterlude) {
    const GoldenTolerance tolerance{48, 0.004};
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, 640);
    VMPtr<javax::microedition::lcdui::Graphics> g = image->getGraphics();
    auto shoot = [&](SelectLevelScene* s, const char* name) {
        g->setColor(0);
        g->fillRect(0, 0, 480, 640);
        s->paint(g);
        EXPECT_TRUE(matchesGolden("game", name, scenetest::pictureOfImage(image), tolerance));
    };
    VMPtr<SelectLevelScene> s = open(10, 4, 7);
    frames(s.get(), 20);
    shoot(s.get(), "select_browse");
    tap(s.get(), SelectLevelScene::GO);
    frames(s.get(), 20);
    shoot(s.get(), "select_briefing");
    s->dispose();
    VMPtr<SelectLevelScene> t = open(14, 9, 9);
    frames(t.get(), 20);
    shoot(t.get(), "select_interlude");
    t->dispose();
}

}  // namespace
