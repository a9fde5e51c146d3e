// The loading page: the full page once after begin, then the bar's cells in
// each mode, and golden pictures of both.
#include "scenes_test_support.h"

using com::ventrix::ui::LoadingPage;
using scenetest::LogGraphics;

namespace {

using Log = std::vector<std::string>;

class LoadingPageTest : public scenetest::SceneTest {
protected:
    VMPtr<LoadingPage> page() {
        VMPtr<LoadingPage> p = LoadingPage::getInstance();
        p->setStyleSwitches(0, false, false, false, false, true);
        p->setBarColours(0x00FF00, 0xFF0000);
        return p;
    }
    // The fills of one paint.
    static Log fills(const VMPtr<LoadingPage>& p) {
        VMPtr<LogGraphics> g = scenetest::logGraphics();
        p->paint(g);
        return g->only("fill");
    }
    static std::string cell(jint x, jint w) {
        return "fill " + std::to_string(x) + " 580 " + std::to_string(w) + " 36 #ff0000";
    }
};

}  // namespace

TEST_F(LoadingPageTest, ANewPageDrawsNothingAndFinishHidesIt) {
    VMPtr<LoadingPage> p = LoadingPage::getInstance();
    EXPECT_EQ(p->getProgress(), 1);
    EXPECT_EQ(p->total, 0);
    VMPtr<LogGraphics> g = scenetest::logGraphics();
    p->paint(g);
    EXPECT_TRUE(g->log.empty());
    p = page();
    p->begin(4);
    p->step();
    p->finish();
    EXPECT_EQ(p->getProgress(), 5);
    EXPECT_TRUE(fills(p).empty());
}

TEST_F(LoadingPageTest, TheBarGrowsByCellsInEachModeAndTheLastCellIsDrawnFull) {
    VMPtr<LoadingPage> p = page();
    p->setBarMode(1);
    p->begin(4);
    EXPECT_TRUE(fills(p).empty());  // the full page, the frame only
    p->step();
    EXPECT_EQ(fills(p), (Log{cell(60, 35), cell(96, 35)}));
    for (int i = 0; i < 3; ++i) p->step();
    Log all = fills(p);
    ASSERT_EQ(all.size(), 11u);
    EXPECT_EQ(all[9], cell(384, 35));
    EXPECT_EQ(all[10], cell(384, 36));  // the last one again, full width

    struct Mode {
        jint mode, cells, width;
    };
    for (Mode m : {Mode{2, 20, 18}, Mode{3, 30, 12}, Mode{7, 30, 12}, Mode{0, 360, 12}}) {
        p->setBarMode(m.mode);
        EXPECT_EQ(p->cellCount, m.cells);
        EXPECT_EQ(p->cellWidth, m.width);  // mode 0 keeps the width it had
        EXPECT_EQ(p->continuous, m.mode == 0);
    }
    p->begin(3);
    Log continuous;
    for (int i = 0; i < 3; ++i) {
        p->step();
        Log f = fills(p);
        continuous.insert(continuous.end(), f.begin(), f.end());
    }
    EXPECT_EQ(continuous, (Log{cell(60, 120), cell(60, 240), cell(60, 360)}));
}

TEST_F(LoadingPageTest, BadTotalsDrawNoCellsAndLongLoadingsDoNotOverflow) {
    VMPtr<LoadingPage> p = page();
    p->setBarMode(0);
    p->begin(0);
    p->step();  // progress 1 > total 0: hidden
    EXPECT_TRUE(fills(p).empty());
    p->total = -5;
    p->progress = -7;  // a broken caller: still no division
    EXPECT_TRUE(fills(p).empty());
    p->begin(100000);
    p->progress = 50000;
    EXPECT_EQ(fills(p), (Log{cell(60, 180)}));
    p->progress = 100000;
    EXPECT_EQ(fills(p), (Log{cell(60, 360)}));
}

TEST_F(LoadingPageTest, BeginAndStepBeforeAPaintDrawOnlyTheCells) {
    VMPtr<LoadingPage> p = page();
    p->setStyleSwitches(0, true, true, true, true, true);
    p->setBackgroundImage(scenetest::kTiles);
    p->setPicture(scenetest::kTiles, -1);
    p->setBarMode(1);
    p->begin(10);
    p->step();
    VMPtr<LogGraphics> g = scenetest::logGraphics();
    p->paint(g);
    EXPECT_EQ(g->log, (Log{"clip 0 0 480 640", cell(60, 35)}));
}

TEST_F(LoadingPageTest, GoldenFullPageAndCells) {
    VMPtr<LoadingPage> p = page();
    p->setStyleCount(2);
    p->setStyleSwitches(1, true, true, true, true, true);
    p->setStyle(1);
    p->setBackgroundColour(0x102030);
    p->setBackgroundImage(scenetest::kTiles);                   // opaque: covers the fill
    p->setPicture(scenetest::kSquares, scenetest::kSquareSet);  // frame 0 of the set
    p->setText(0, scenetest::kHello);
    p->setBarColours(0xE0E0E0, 0x40C040);
    p->setBarMode(2);
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, 640);
    VMPtr<javax::microedition::lcdui::Graphics> g = image->getGraphics();
    p->begin(7);
    p->paint(g);
    const GoldenTolerance text{48, 0.002};
    EXPECT_TRUE(matchesGolden("ventrix", "loading_page_full", scenetest::pictureOfImage(image), text));
    for (int i = 0; i < 3; ++i) p->step();
    p->paint(g);
    EXPECT_TRUE(matchesGolden("ventrix", "loading_page_cells", scenetest::pictureOfImage(image), text));

    // The fill without the tiles, the picture as an image of its own.
    p->setStyleSwitches(1, false, true, true, false, true);
    p->setPicture(scenetest::kTiles, -1);
    p->setBarMode(0);
    p->begin(4);
    p->paint(g);
    p->step();
    p->paint(g);
    EXPECT_TRUE(matchesGolden("ventrix", "loading_page_plain", scenetest::pictureOfImage(image)));
}
