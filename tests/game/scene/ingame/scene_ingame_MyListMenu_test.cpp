// The pause menu and the story board on the game's own graphics (pack 14):
// layout, rows drawn only for entries, the tapped entry in the release frame,
// the board's box and its paging.
#include "scene_test_support.h"
#include "scene_ingame_InGameStoryBoard.h"
#include "scene_ingame_MyListMenu.h"
#include "com_ventrix_ui_ListMenu.h"

using com::ventrix::utility::MyPointer;
using scene::ingame::InGameStoryBoard;
using scene::ingame::MyListMenu;

namespace {

class PauseMenuTest : public ingamescene::SceneFixture {
protected:
    // The pause menu's graphics: item frame 0 has the row box 5 (300 x 60)
    // and the text box 0 at x 20.
    VMPtr<MyListMenu> menu(jint entries, jint height = 270, jint image = 0x3806, jint set = 0x3802) {
        VMPtr<MyListMenu> m = MyListMenu::create()->construct();
        m->setListResources(image, set);
        m->setBounds(90, 100, 300, height);
        m->setItemCount(entries);
        static const jint ids[] = {9, 26, 16};
        for (jint i = 0; i < entries; ++i) (*m->items)[i] = ids[i % 3];
        m->open();
        m->setActive(true);
        return m;
    }
};

// A panel of its own beside the main menu's list: both are built on the
// panel and share its list steps, neither on the other.
TEST_F(PauseMenuTest, IsAPanelBesideTheMainMenuList) {
    EXPECT_EQ(_VM_superClass(_VM_classRegistry(), MyListMenu::_VM_getClass()), com::ventrix::ui::Addon::_VM_getClass());
    VMPtr<MyListMenu> m = MyListMenu::create()->construct();
    EXPECT_EQ(dynamic_cast<com::ventrix::ui::ListMenu*>(m.get()), nullptr);
}

TEST_F(PauseMenuTest, LayoutRowsGapsTextOffsetAndDragRange) {
    struct Case {
        jint entries, rows, gap, range;
    };
    for (const Case& c : {Case{3, 3, 22, 0}, Case{6, 4, 6, -132}}) {
        SCOPED_TRACE(c.entries);
        VMPtr<MyListMenu> m = menu(c.entries);
        EXPECT_EQ(m->visibleRows, c.rows);
        EXPECT_EQ(m->rowGap, c.gap);
        EXPECT_EQ((std::vector<jint>{m->itemWidth, m->itemHeight, m->rowOffsetX, m->scrollX}),
                  (std::vector<jint>{300, 60, 0, 20}));
        EXPECT_EQ(MyPointer::getInstance()->scrollMinY, c.range);
        EXPECT_EQ(m->selected, -1);
        VMPtr<VMIntRows> rows = m->getRowRegions();
        ASSERT_EQ(rows->length, c.rows);
        EXPECT_EQ(leveltest::row(rows.get(), 1), (std::vector<jint>{90, 100 + c.gap + (c.gap + 60), 300, 60, 5}));
        // Laid out again with the same graphics: the highlight and the item
        // frame stay.
        ts::AnimPlayer* highlight = m->highlight.get();
        ts::Frame* frame = m->listFrame.get();
        ASSERT_NE(highlight, nullptr);
        m->open();
        EXPECT_EQ(m->highlight.get(), highlight);
        EXPECT_EQ(m->listFrame.get(), frame);
        m->release();
    }
}

TEST_F(PauseMenuTest, RowsPastTheEntriesAndRowsWithoutHeightAreNotDrawn) {
    VMPtr<paneltest::LogFont> font = logFont(0);
    VMPtr<MyListMenu> m = menu(6);
    m->setFirstRow(4);  // rows 2 and 3 would show entries 6 and 7
    m->paint(scenetest::logGraphics());
    ASSERT_EQ(font->drawn.size(), 2u);
    const jint y = 100 + 6 + (60 - font->getHeight()) / 2;
    EXPECT_EQ(font->drawn[0].substr(0, font->drawn[0].find(' ', 4)), "110 " + std::to_string(y));

    // A row box without height: no rows, nothing drawn, no touch rows.
    font->drawn.clear();
    VMPtr<MyListMenu> flat = menu(4, 270, paneltest::kGobs, paneltest::kFlatSet);
    EXPECT_EQ(flat->visibleRows, 0);
    EXPECT_EQ(flat->highlight.get(), nullptr);  // these graphics have no highlight
    EXPECT_EQ(MyPointer::getInstance()->touchBoxes->length, 0);
    flat->paint(scenetest::logGraphics());
    EXPECT_TRUE(font->drawn.empty());

    // Before the first layout nothing of the list is drawn or updated.
    VMPtr<MyListMenu> fresh = MyListMenu::create()->construct();
    fresh->update(0, 0);
    fresh->paint(scenetest::logGraphics());
    EXPECT_TRUE(font->drawn.empty());
}

TEST_F(PauseMenuTest, TheTappedEntryAnswersInTheReleaseFrameOnly) {
    VMPtr<MyListMenu> m = menu(3);
    // Row 1 lies at y 100 + 22 + 82 = 204 to 264.
    canvas->pointerPressed(200, 210);
    frame(m);
    EXPECT_EQ(m->selected, 1);
    EXPECT_EQ(m->getTappedItem(), -1);
    const jint before = m->highlight->getElapsedTime();
    com::ventrix::utility::MyObject::frameTime = 40;
    m->update(0, 0);
    EXPECT_NE(m->highlight->getElapsedTime(), before);
    canvas->pointerReleased(200, 212);
    frame(m);
    EXPECT_EQ(m->getTappedItem(), 26);
    EXPECT_EQ(m->getSelectedItem(), -1);  // the pressed row is gone in that frame
    frame(m);
    EXPECT_EQ(m->getTappedItem(), -1);
    m->release();
}

TEST_F(PauseMenuTest, StoryBoardBoxAndOutline) {
    VMPtr<InGameStoryBoard> board = InGameStoryBoard::create()->construct();
    // Box 1 of frame 8: 400 x 176 at y 232 from the top, centred; the text
    // takes the 7 whole lines of 22 that leave room under the last one, in
    // the middle of it.
    EXPECT_EQ((std::vector<jint>{board->textX, board->textY, board->textWidth, board->textHeight}),
              (std::vector<jint>{40, 243, 400, 154}));
    EXPECT_EQ(board->getLayer(), 120);
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    board->paint(g);
    EXPECT_EQ(g->only("fill"),
              (std::vector<std::string>{"fill 34 226 412 188 #000000", "fill 36 228 408 184 #ffffff"}));
    board->release();
}

TEST_F(PauseMenuTest, StoryBoardPagesAndClampsTheLastPage) {
    VMPtr<InGameStoryBoard> board = InGameStoryBoard::create()->construct();
    board->setActive(true);
    board->setText(VM_STR("short"));
    EXPECT_FALSE(board->pageDown());  // fits: the first press ends the board

    // A text whose last page is not full.
    std::string longText;
    for (int i = 0; i < 60 || board->lineCount % board->visibleLines == 0; ++i) {
        longText += "word" + std::to_string(i) + " and some more ";
        if (i >= 59) board->setText(java::lang::String::_VM_fromUTF8(longText.c_str()));
        if (i > 200) break;
    }
    const jint lines = board->lineCount, window = board->visibleLines;
    ASSERT_GT(window, 0);
    ASSERT_GT(lines, 2 * window);
    ASSERT_NE(lines % window, 0);
    std::vector<jint> firsts{board->firstLine};
    while (board->pageDown()) firsts.push_back(board->firstLine);
    ASSERT_GE(firsts.size(), 3u);
    for (size_t k = 1; k + 1 < firsts.size(); ++k) EXPECT_EQ(firsts[k], jint(k) * window);
    EXPECT_EQ(firsts.back(), lines - window);                       // the last full window
    EXPECT_GT(firsts[firsts.size() - 2] + window, lines - window);  // lines of the previous page show again
    board->setActive(false);
    board->setText(java::lang::String::_VM_fromUTF8(longText.c_str()));
    EXPECT_FALSE(board->pageDown());  // hidden: no paging
    board->release();
}

}  // namespace
