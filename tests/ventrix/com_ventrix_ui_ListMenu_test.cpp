#include "panels_test_support.h"
#include "ts_input_PointerInputKeyManager.h"

using com::ventrix::ui::ListMenu;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::ResManager;
using paneltest::kFlatSet;
using paneltest::kGobs;
using paneltest::kListSet;
using ts::input::PointerInputKeyManager;

namespace {

class ListMenuTest : public paneltest::PanelTest {
protected:
    // A menu of n items (text ids 5, 3, 6, 5, 3, 6, ...) in the area
    // (140, 120, 200, 400), opened and active.
    VMPtr<ListMenu> menu(jint n, jint set = kListSet) {
        VMPtr<ListMenu> m = ListMenu::create()->construct();
        m->setListResources(kGobs, set);
        m->setBounds(140, 120, 200, 400);
        m->setItemCount(n);
        static const jint ids[] = {5, 3, 6};
        for (jint i = 0; i < n; ++i) (*m->items)[i] = ids[i % 3];
        m->open();
        m->setActive(true);
        return m;
    }
};

TEST_F(ListMenuTest, OpenLaysOutRowsGapsAndDragRange) {
    struct Case {
        jint items, rows, gap, range;
    };
    for (const Case& c : {Case{8, 6, 5, -130}, Case{3, 3, 55, 0}}) {
        SCOPED_TRACE(c.items);
        VMPtr<ListMenu> m = menu(c.items);
        EXPECT_EQ(m->visibleRows, c.rows);
        EXPECT_EQ(m->rowGap, c.gap);
        EXPECT_EQ(MyPointer::getInstance()->scrollMinY, c.range);
        EXPECT_EQ(m->selected, -1);  // nothing highlighted until touched
        EXPECT_EQ(m->getSelectedItem(), -1);
        EXPECT_EQ((std::vector<jint>{m->itemWidth, m->itemHeight, m->rowOffsetX}), (std::vector<jint>{200, 60, 0}));
        VMPtr<VMArray<jint, 2>> rows = m->getRowRegions();
        ASSERT_EQ(rows->length, c.rows);
        for (jint r = 0; r < c.rows; ++r) {
            VMPtr<VMArray<jint, 1>> row = rows->get(r);
            EXPECT_EQ((std::vector<jint>{(*row)[0], (*row)[1], (*row)[2], (*row)[3]}),
                      (std::vector<jint>{140, 120 + c.gap + (c.gap + 60) * r, 200, 60}));
        }
        EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 4);
        m->release();
        EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 0);
    }
}

TEST_F(ListMenuTest, RowBoxWithoutHeightGivesNoRows) {
    VMPtr<ListMenu> m = menu(4, kFlatSet);
    EXPECT_EQ(m->visibleRows, 0);
    EXPECT_EQ(m->getRowRegions()->length, 0);
    EXPECT_EQ(MyPointer::getInstance()->touchBoxes->length, 0);
    m->paint(scenetest::logGraphics());
}

TEST_F(ListMenuTest, ReopeningTakesTheLayoutFromFrameZeroAndReleaseGivesEveryReferenceBack) {
    VMPtr<ListMenu> m = menu(8);
    const jint slot = m->listSecondIndex;
    EXPECT_EQ((*ResManager::animRefs)[slot], 1);
    m->open();  // the marker is held now; the layout still comes from frame 0
    EXPECT_EQ(m->visibleRows, 6);
    EXPECT_EQ((*ResManager::animRefs)[slot], 1);
    m->close();
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 0);
    EXPECT_EQ(m->listSecondIndex, -1);
    EXPECT_EQ((*ResManager::animRefs)[slot], 1);  // close keeps the cache entry
    m->open();
    EXPECT_EQ(m->visibleRows, 6);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 4);
    EXPECT_EQ((*ResManager::animRefs)[m->listSecondIndex], 2);
    m->release();
    EXPECT_EQ((*ResManager::animRefs)[slot], 1);
    EXPECT_EQ(PointerInputKeyManager::getRegionCount(0), 0);
}

TEST_F(ListMenuTest, AnAnimationSetMissingFromTheCacheIsSkippedWithOneLine) {
    // The list menu and the panel it derives from look frames up one way.
    VMPtr<ListMenu> m = menu(8);
    VMPtr<com::ventrix::ui::Addon> panel = com::ventrix::ui::Addon::create()->construct();
    panel->loadPanelResources(kGobs, paneltest::kPanelSet);
    VMPtr<VMArray<ts::AnimSet, 1>> cache = ResManager::animCache;
    cache->set(m->listSecondIndex, nullptr);
    cache->set(panel->panelSecondIndex, nullptr);
    const std::string line = "Addon: no animation set in cache slot ";
    testing::internal::CaptureStdout();
    m->open();  // the layout frame, then the marker
    EXPECT_EQ(testing::internal::GetCapturedStdout(), line + std::to_string(m->listSecondIndex) + "\n");
    EXPECT_EQ(m->listFrame, nullptr);
    EXPECT_EQ(m->visibleRows, 0);
    m->paint(scenetest::logGraphics());
    testing::internal::CaptureStdout();
    panel->setPanelFrame(0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), line + std::to_string(panel->panelSecondIndex) + "\n");
    EXPECT_FALSE(panel->framed);
    EXPECT_EQ(panel->panelFrame, nullptr);
}

TEST_F(ListMenuTest, PaintDrawsOnlyCountedRowsCentredInTheirBoxes) {
    VMPtr<paneltest::LogFont> font = logFont(1);
    VMPtr<ListMenu> m = menu(8);
    m->itemCount = 3;  // the items array stays longer
    m->paint(scenetest::logGraphics());
    ASSERT_EQ(font->drawn.size(), 3u);
    const jint w = font->stringWidth(VM_STR("A\xc3\xa9\xe2\x82\xac"));
    const jint y = 120 + 5 + 65 + (60 - font->getHeight()) / 2;
    EXPECT_EQ(font->drawn[1],
              std::to_string(140 + (200 - w) / 2) + " " + std::to_string(y) + " 20 A\xc3\xa9\xe2\x82\xac");
}

TEST_F(ListMenuTest, TouchesThroughTheCanvasSelectChooseAndPressKeys) {
    VMPtr<ListMenu> m = menu(8);
    VMPtr<MyPointer> ptr = MyPointer::getInstance();
    // Row 2 lies at y 120 + 5 + 130 = 255 to 315.
    canvas->pointerPressed(240, 260);
    frame(m);
    EXPECT_EQ(m->selected, 2);
    EXPECT_EQ(m->getSelectedItem(), 6);
    EXPECT_EQ(m->getTappedItem(), -1);
    canvas->pointerReleased(240, 262);
    frame(m);
    EXPECT_EQ(m->selected, -1);
    EXPECT_EQ(m->getTappedItem(), 6);
    EXPECT_EQ(m->getTappedIndex(), 2);
    frame(m);
    EXPECT_EQ(m->getTappedItem(), -1);

    // Above the list: up (1); below it: down (6).
    struct Case {
        jint y, key;
    };
    for (const Case& c : {Case{100, 1}, Case{540, 6}}) {
        SCOPED_TRACE(c.key);
        canvas->pointerPressed(240, c.y);
        canvas->latchInput();
        EXPECT_TRUE(canvas->wasKeyPressed(c.key));
        EXPECT_TRUE(canvas->isKeyHeld(c.key));
        canvas->pointerReleased(240, c.y);
        canvas->latchInput();
        EXPECT_FALSE(canvas->isKeyHeld(c.key));
        EXPECT_TRUE(canvas->wasKeyReleased(c.key));
        frame(m);
        frame(m);
    }

    // A drag of 300 pixels up: the panel follows it; at the commit the drag
    // value is kept so that it plus the release point lies within the range.
    ptr->resetY();
    canvas->pointerPressed(240, 400);
    canvas->pointerDragged(240, 250);
    canvas->pointerDragged(240, 100);
    frame(m);
    m->updateDrag();
    EXPECT_EQ(m->scrollY, -300);
    canvas->pointerReleased(240, 100);
    frame(m);
    frame(m);  // the commit: -300 + 100 is below -130
    EXPECT_EQ(ptr->scrollY, -130 - 100);
}

TEST_F(ListMenuTest, GoldenMenus) {
    const GoldenTolerance text{48, 0.004};
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, 640);
    VMPtr<javax::microedition::lcdui::Graphics> g = image->getGraphics();
    VMPtr<ListMenu> m = menu(8);
    m->selected = 1;
    g->setColor(0x304050);
    g->fillRect(0, 0, 480, 640);
    m->paint(g);
    EXPECT_TRUE(matchesGolden("ventrix", "list_menu", scenetest::pictureOfImage(image), text));
    m->keyDown();
    m->keyDown();
    EXPECT_EQ(m->firstRow, 2);
    g->setColor(0x304050);
    g->fillRect(0, 0, 480, 640);
    m->paint(g);
    EXPECT_TRUE(matchesGolden("ventrix", "list_menu_scrolled", scenetest::pictureOfImage(image), text));
}

}  // namespace
