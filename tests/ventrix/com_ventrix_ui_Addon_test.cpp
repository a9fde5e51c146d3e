#include "panels_test_support.h"

using com::ventrix::ui::Addon;
using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::ResManager;
using paneltest::kGobs;
using paneltest::kPanelSet;
using Log = std::vector<std::string>;

namespace {

class AddonTest : public paneltest::PanelTest {
protected:
    VMPtr<Addon> panel() { return Addon::create()->construct(); }
    // "1\n2\n...\nn"
    static VMPtr<java::lang::String> lines(int n) {
        std::string s;
        for (int i = 1; i <= n; ++i) s += (i > 1 ? "\n" : "") + std::to_string(i);
        return java::lang::String::_VM_fromUTF8(s.c_str());
    }
};

TEST_F(AddonTest, PanelFrameGivesTheTextBoxAndLabelsForOneOrTwoLabelsOnly) {
    struct Case {
        jint capacity;
        std::vector<std::vector<jint>> labels;  // x, y, width, height per label
    };
    const Case cases[] = {
        {1, {{130, 248, 220, 24}}},
        {2, {{130, 248, 220, 24}, {130, 280, 220, 110}}},
        {3, {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        VMPtr<Addon> p = panel();
        p->loadPanelResources(kGobs, kPanelSet);
        p->initLabels(c.capacity);
        p->setPanelFrame(0);
        EXPECT_TRUE(p->framed);
        EXPECT_EQ((std::vector<jint>{p->frameX, p->frameY, p->frameWidth, p->frameHeight}),
                  (std::vector<jint>{240, 320, 240, 160}));
        EXPECT_EQ((std::vector<jint>{p->textX, p->textY, p->textWidth, p->textHeight}),
                  (std::vector<jint>{130, 280, 220, 110}));
        EXPECT_EQ((std::vector<jint>{p->areaX, p->areaY, p->areaWidth, p->areaHeight}),
                  (std::vector<jint>{130, 280, 220, 110}));
        for (jint i = 0; i < c.capacity; ++i) {
            VMPtr<VMArray<jint, 1>> pos = p->labelPosition->get(i);
            EXPECT_EQ((std::vector<jint>{(*pos)[0], (*pos)[1], (*p->labelWidth)[i], (*p->labelHeight)[i]}),
                      c.labels[i]);
        }
        p->release();
    }
    // The form with a box centres the frame in it.
    VMPtr<Addon> p = panel();
    p->loadPanelResources(kGobs, kPanelSet);
    p->setPanelFrame(0, 100, 100, 300, 200);
    EXPECT_EQ((std::vector<jint>{p->frameX, p->frameY, p->textX, p->textY, p->textWidth, p->textHeight}),
              (std::vector<jint>{130, 120, 20, 48, 220, 24}));
}

TEST_F(AddonTest, TextPagesAndScrollsWithinItsLines) {
    VMPtr<Addon> p = panel();
    p->setFontIndex(1);
    p->setActive(true);
    p->setText(lines(10), 100, 200, 200, 100);
    const jint lh = p->getLineHeight();
    ASSERT_TRUE(lh >= 21 && lh <= 25) << "the large test font is " << lh << " pixels high";
    EXPECT_EQ(p->lineCount, 10);
    EXPECT_EQ(p->visibleLines, 4);
    VMPtr<MyPointer> ptr = MyPointer::getInstance();
    EXPECT_EQ(ptr->scrollMinY, -(6 * lh));
    EXPECT_EQ(ptr->scrollMaxY, 200);
    EXPECT_TRUE(p->pageDown());
    EXPECT_EQ(p->firstLine, 4);
    EXPECT_TRUE(p->pageDown());
    EXPECT_EQ(p->firstLine, 6);
    EXPECT_FALSE(p->pageDown());
    p->scrollTextDown();
    EXPECT_EQ(p->firstLine, 6);
    for (int i = 0; i < 8; ++i) p->keyUp();
    EXPECT_EQ(p->firstLine, 0);

    // Lines that fit exactly: no paging, no bar, no drag range.
    p->setScrollable(true);
    p->setText(lines(4), 100, 200, 200, 4 * lh);
    EXPECT_EQ(p->visibleLines, 4);
    EXPECT_FALSE(p->pageDown());
    EXPECT_EQ(ptr->scrollMinY, 0);
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    p->paint(g);
    EXPECT_EQ(g->log, (Log{"clip 100 200 200 " + std::to_string(4 * lh), "clip 0 0 480 640"}));

    // A font without a line height: every line visible, no range.
    VMPtr<paneltest::LogFont> flat = logFont(1);
    flat->forcedHeight = 0;
    p->setText(lines(10), 100, 200, 200, 100);
    EXPECT_EQ(p->visibleLines, 10);
    EXPECT_EQ(ptr->scrollMinY, 0);
}

TEST_F(AddonTest, ScrollBarBoxAndLabelsFollowTheFieldsAndTheOffset) {
    VMPtr<paneltest::LogFont> font = logFont(0);
    VMPtr<Addon> p = panel();
    p->setFontIndex(0);
    p->setScrollable(true);
    p->setText(lines(10), 100, 200, 200, 100);
    p->visibleLines = 4;  // the bar's geometry does not depend on the font
    p->firstLine = 3;
    p->setFramed(true);
    p->frameX = 90;
    p->frameY = 190;
    p->frameWidth = 220;
    p->frameHeight = 120;
    p->setFillColour(0x203040);
    p->setBorderColour(0xFFFFFF);
    p->initLabels(3);
    p->addLabel(VM_STR("plain"), 50, 40);
    p->addLabel(VM_STR("right"), 50, 60, 100);
    p->addLabel(VM_STR("centred"), 50, 80, 100);
    p->setLabelRightAligned(1, true);
    const jint fh = font->getHeight();
    const jint w = font->stringWidth(VM_STR("centred"));
    for (jint off : {0, 7}) {
        SCOPED_TRACE(off);
        p->setOffset(off, 2 * off);
        font->drawn.clear();
        VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
        p->paint(g);
        auto at = [&](jint x, jint y) { return std::to_string(x - off) + " " + std::to_string(y - 2 * off) + " "; };
        EXPECT_EQ(g->log, (Log{"fill " + at(90, 190) + "220 120 #203040", "rect " + at(90, 190) + "220 120 #ffffff",
                               "clip " + at(100, 200) + "200 100", "clip 0 0 480 640",
                               "rect " + at(295, 200) + "5 100 #203040", "fill " + at(295, 230) + "5 40 #203040"}));
        EXPECT_EQ(font->drawn,
                  (Log{at(50, 40) + "20 plain", at(150, 60) + "24 right", at(50 + (100 - w) / 2, 80) + "20 centred"}));
        (void)fh;
    }
    p->setLabelCount(4);  // past the capacity: ignored
    EXPECT_EQ(p->labelCount, 3);
    p->setLabel(5, VM_STR("x"), 1, 2, 3, 4);  // ignored
    p->setLabel(0, VM_STR("boxed"), 10, 20, 0, 30);
    font->drawn.clear();
    p->setOffset(0, 0);
    p->paint(scenetest::logGraphics());
    EXPECT_EQ(font->drawn[0], std::to_string(10) + " " + std::to_string(20 + (30 - fh) / 2) + " 20 boxed");
}

TEST_F(AddonTest, HiddenPanelIgnoresKeysAndListStepsStopAtTheirBounds) {
    VMPtr<Addon> p = panel();
    p->setItemCount(5);
    p->setItems(ints({3, 5, 6, 2, 1}));
    p->visibleRows = 3;
    p->setOpen(true);
    p->selected = 1;
    // Hidden: nothing moves.
    p->keyDown();
    p->listDown();
    EXPECT_EQ(p->firstRow, 0);
    EXPECT_EQ(p->getSelectedItem(), -1);
    p->lineCount = 10;
    p->visibleLines = 4;
    EXPECT_FALSE(p->pageDown());
    p->scrollTextDown();
    EXPECT_EQ(p->firstLine, 0);

    p->setActive(true);
    const std::vector<jint> expected = {1, 2, 2};
    for (jint e : expected) {
        p->keyDown();
        EXPECT_EQ(p->firstRow, e);
    }
    // The selection is the visible row: items[firstRow + selected].
    EXPECT_EQ(p->getSelectedItem(), 2);
    for (jint e : {1, 0, 0}) {
        p->listUp();
        EXPECT_EQ(p->firstRow, e);
    }
    p->setSelected(5);  // past the items: kept
    EXPECT_EQ(p->selected, 1);
    // A tapped row outside the items answers -1, as does an item of id 0.
    p->firstRow = 2;
    p->tappedRow = 2;
    EXPECT_EQ(p->getTappedItem(), 1);
    EXPECT_EQ(p->getTappedIndex(), 4);
    p->tappedRow = 3;
    EXPECT_EQ(p->getTappedItem(), -1);
    EXPECT_EQ(p->getTappedIndex(), -1);
    (*p->items)[4] = 0;
    p->tappedRow = 2;
    EXPECT_EQ(p->getTappedItem(), -1);
}

TEST_F(AddonTest, MarqueeRunsOnlyForItemsWiderThanTheScreen) {
    VMPtr<paneltest::LogFont> font = logFont(0);
    VMPtr<ts::Gob> glyph = font->getGlyph(u'A');
    ASSERT_TRUE(glyph != nullptr);
    VMPtr<Addon> p = panel();
    p->setActive(true);
    p->setScrollable(true);
    p->setItems(ints({0}));  // text 0 is "A"
    p->setBounds(20, 0, 440, 640);
    p->updateMarquee();
    EXPECT_EQ(p->marqueeX, 0);  // no selected row
    p->selected = 0;
    const jint old = glyph->collisionWidth;
    glyph->collisionWidth = 480;
    p->marqueeX = 0;
    p->updateMarquee();
    EXPECT_EQ(p->marqueeX, 0);
    glyph->collisionWidth = 481;
    p->updateMarquee();
    EXPECT_EQ(p->marqueeX, -2);
    p->marqueeX = -498;
    p->updateMarquee();
    EXPECT_EQ(p->marqueeX, -500);
    p->updateMarquee();
    EXPECT_EQ(p->marqueeX, 480);  // passed -(481 + 20)
    glyph->collisionWidth = old;
}

TEST_F(AddonTest, GoldenPanels) {
    const GoldenTolerance text{48, 0.004};
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, 640);
    VMPtr<javax::microedition::lcdui::Graphics> g = image->getGraphics();
    VMPtr<Addon> p = panel();
    p->setActive(true);
    p->setFramed(true);
    p->frameX = 60;
    p->frameY = 150;
    p->frameWidth = 360;
    p->frameHeight = 260;
    p->setFillColour(0x203050);
    p->setBorderColour(0xF0F0F0);
    p->setFontIndex(1);
    p->setScrollable(true);
    p->setText(lines(10), 100, 220, 335, 100);  // the bar lies beside the box, off the fill
    p->pageDown();
    p->initLabels(3);
    p->addLabel(VM_STR("Left"), 80, 170);
    p->addLabel(VM_STR("Right"), 80, 350, 320);
    p->addLabel(5, 80, 375, 320, 30);  // "Hello, world", centred
    p->setLabelRightAligned(1, true);
    p->setLabelFont(2, 1);
    g->setColor(0x000000);
    g->fillRect(0, 0, 480, 640);
    p->paint(g);
    EXPECT_TRUE(matchesGolden("ventrix", "panel_filled", scenetest::pictureOfImage(image), text));
    p->setOffset(40, -30);
    g->setColor(0x000000);
    g->fillRect(0, 0, 480, 640);
    p->paint(g);
    EXPECT_TRUE(matchesGolden("ventrix", "panel_filled_offset", scenetest::pictureOfImage(image), text));

    VMPtr<Addon> framed = panel();
    framed->loadPanelResources(kGobs, kPanelSet);
    framed->initLabels(1);
    framed->setPanelFrame(0);
    framed->setLabelText(0, VM_STR("Title"));
    framed->setLabelCount(1);
    framed->setText(VM_STR("A panel drawn from a frame of an animation set, with its text wrapped in the box."));
    g->setColor(0x000000);
    g->fillRect(0, 0, 480, 640);
    framed->paint(g);
    EXPECT_TRUE(matchesGolden("ventrix", "panel_frame", scenetest::pictureOfImage(image), text));
    const jint slot = framed->panelSecondIndex;
    framed->release();
    EXPECT_EQ(framed->panelSecondIndex, -1);
    EXPECT_EQ((*ResManager::animRefs)[slot], 0);
}

}  // namespace
