// Bitmap and system fonts: glyph arrays, measuring, drawing under anchors
// and transforms, alpha.
#include <algorithm>
#include <climits>

#include "javax_microedition_lcdui_Font.h"
#include "textcells_test_support.h"

using javax::microedition::lcdui::Font;
using ts::util::text::RichFont;
using namespace tstest;

namespace {

class RichFontTest : public VMTest {};

constexpr jint TL = Graphics::TOP | Graphics::LEFT;

}  // namespace

TEST_F(RichFontTest, ConversionBuildsCodesFromDifferencesOncePerArray) {
    std::vector<GlyphSpec> specs;
    const jint steps[8] = {65, 1, 1, 1, 1, 1, 1, 257};  // 257: a high byte of 1 adds 256
    for (jint i = 0; i < 8; ++i) specs.push_back({steps[i], -1, 3 + i, 2, 2, 5, i == 3 ? 255 : i});
    VMPtr<Gobs> glyphs = glyphArray(specs);
    VMPtr<RichFont> first = fontOf(glyphs);
    const jint codes[8] = {65, 66, 67, 68, 69, 70, 71, 328};
    for (jint i = 0; i < 8; ++i) {
        EXPECT_EQ(first->getGlyph(jchar(codes[i])).get(), glyphs->get(i));
        EXPECT_EQ(glyphs->get(i)->offsetY, 3 + i);  // the real offsets
    }
    // A second font over the same array finds the marker cleared.
    VMPtr<RichFont> second = fontOf(glyphs);
    EXPECT_EQ(second->getGlyph(jchar(328)).get(), glyphs->get(7));
    EXPECT_EQ(second->getGlyph(u'Z'), nullptr);
    second->mapChar(u'B', glyphs->get(7));  // before the array
    EXPECT_EQ(second->getGlyph(u'B').get(), glyphs->get(7));
    EXPECT_EQ(first->getGlyph(u'B').get(), glyphs->get(1));
    // Alpha goes to the shared array: the copy constructor shares it too.
    VMPtr<RichFont> copy = RichFont::create()->construct(first);
    first->setAlpha(128);
    EXPECT_EQ(copy->getAlpha(), 128);
    EXPECT_TRUE(glyphs->get(5)->isAlphaImage());
    EXPECT_EQ(copy->getGlyph(u'B').get(), glyphs->get(1));
}

TEST_F(RichFontTest, ArraysWithoutTheMetricGlyphsAreRefusedAndChangeNothing) {
    VMPtr<Gobs> full = monoFont();
    VMPtr<RichFont> font = fontOf(full);
    VMPtr<Gobs> six = glyphArray(std::vector<GlyphSpec>(6, GlyphSpec{65, 0, 0, 2, 2, 5, 255}));
    EXPECT_EQ(VM_THROWN_CLASS(font->setGlyphs(six)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(font->getGlyphs().get(), full.get());
    EXPECT_EQ(six->get(3)->collisionHeight, 255);
    VMPtr<Gobs> holed = monoFont();
    holed->set(20, static_cast<ts::Gob*>(nullptr));
    EXPECT_EQ(VM_THROWN_CLASS(font->setGlyphs(holed)), "java.lang.NullPointerException");
    EXPECT_EQ(holed->get(3)->collisionHeight, 255);  // nothing converted
}

TEST_F(RichFontTest, AnchorsAndPenDirectionUnderTransforms) {
    VMPtr<RichFont> font = fontOf(monoFont(7));  // "AB" is 17 wide in ink: odd
    struct Case {
        jint transform, anchor;
        std::vector<jint> xs, ys;  // where the glyphs' regions went
    };
    const Case cases[] = {
        // HCENTER moves the start left by 17 >> 1 under 0, right by 9 under 3.
        {0, Graphics::TOP | Graphics::HCENTER, {92, 102}, {102, 102}},
        {3, Graphics::TOP | Graphics::HCENTER, {102, 92}, {91, 91}},
        {0, TL, {100, 110}, {102, 102}},
        {3, TL, {93, 83}, {91, 91}},
        // The pen moves along y under 5 and 6, backwards under 6.
        {5, TL, {91, 91}, {100, 110}},
        {6, TL, {102, 102}, {93, 83}},
        // BASELINE: the glyph row starts at y - baseline.
        {0, Graphics::BASELINE | Graphics::LEFT, {100, 110}, {93, 93}},
        {0, Graphics::BOTTOM | Graphics::RIGHT, {83, 93}, {90, 90}},
    };
    for (const Case& c : cases) {
        font->setTransform(c.transform);
        VMPtr<RecordingGraphics> g = recorder(200, 200);
        font->drawString(g, VM_STR("AB"), 100, 100, c.anchor);
        std::vector<jint> xs, ys;
        for (const Drawn& d : g->regions()) {
            xs.push_back(d.dx);
            ys.push_back(d.dy);
        }
        EXPECT_EQ(xs, c.xs) << "transform " << c.transform << " anchor " << c.anchor;
        EXPECT_EQ(ys, c.ys) << "transform " << c.transform << " anchor " << c.anchor;
    }
}

// Text is turned by 0, 3, 5 and 6 (the others mirror each glyph); "ABCD" is
// 38 wide, even, so that HCENTER puts no odd pixel aside.
TEST_F(RichFontTest, BoundsAreTheBoxOfTheDrawnGlyphs) {
    VMPtr<RichFont> font = fontOf(monoFont());
    VMPtr<VMArray<jint, 1>> rect = VMArray<jint, 1>::create(4);
    for (jint t : {0, 3, 5, 6}) {
        for (jint anchor : {TL, Graphics::BASELINE | Graphics::HCENTER, Graphics::BOTTOM | Graphics::RIGHT}) {
            font->setTransform(t);
            VMPtr<RecordingGraphics> g = recorder(200, 200);
            font->drawString(g, VM_STR("ABCD"), 100, 100, anchor);
            font->getStringBounds(VM_STR("ABCD"), 100, 100, rect, anchor);
            jint x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
            for (const Drawn& d : g->regions()) {
                x0 = std::min(x0, d.dx);
                y0 = std::min(y0, d.dy);
                x1 = std::max(x1, d.dx + ((t & 4) ? d.h : d.w));
                y1 = std::max(y1, d.dy + ((t & 4) ? d.w : d.h));
            }
            EXPECT_EQ(std::vector<jint>(rect->elements(), rect->elements() + 4),
                      (std::vector<jint>{x0, y0, x1 - x0, y1 - y0}))
                << "transform " << t << " anchor " << anchor;
        }
    }
}

TEST_F(RichFontTest, HeightsAndMissingGlyphs) {
    VMPtr<RichFont> font = fontOf(monoFont());
    EXPECT_EQ(font->stringWidth(VM_STR("A \u00e9")), 27);  // the missing advance is 7
    EXPECT_EQ(font->stringHeight(VM_STR("AB")), 9);
    font->setTightHeight(true);
    EXPECT_EQ(font->stringHeight(VM_STR("AB")), 7);  // once from the highest glyph top
    EXPECT_EQ(font->stringHeight(VM_STR("AB")), 9);
    // Neither the space (no ink) nor a missing character is drawn; the pen moves on.
    font->setAlpha(128);
    VMPtr<RecordingGraphics> g = recorder(200, 50);
    font->drawString(g, VM_STR("A \u00e9B"), 0, 0, TL);
    ASSERT_EQ(g->regions().size(), 2u);
    EXPECT_EQ(g->regions()[1].dx, 27);
}

TEST_F(RichFontTest, SystemFontKeepsItsFontAndRestoresTheColour) {
    VMPtr<RichFont> font = RichFont::create()->construct();
    VMPtr<Graphics> g = Image::createImage(100, 40)->getGraphics();
    VMPtr<Font> other = Font::getFont(Font::FACE_MONOSPACE, 0, Font::SIZE_LARGE);
    g->setFont(other);
    g->setColor(0x123456);
    font->setColor(0xFF00FF00);
    font->drawString(g, VM_STR(""), 0, 0, TL);
    EXPECT_EQ(g->getFont().get(), other.get());  // an empty draw touches nothing
    font->drawString(g, VM_STR("Hi"), 0, 0, TL);
    EXPECT_EQ(g->getColor(), 0x123456);
    EXPECT_EQ(g->getFont().get(), font->systemFont.get());
    // The index in use keeps the Font object but drops the glyphs.
    VMPtr<Font> before = font->systemFont;
    font->setGlyphs(monoFont());
    font->setSystemFont(1);
    EXPECT_FALSE(font->isBitmapFont());
    EXPECT_EQ(font->systemFont.get(), before.get());
    font->setSystemFont(4);
    EXPECT_EQ(font->systemFont.get(), Font::getFont(0, Font::STYLE_BOLD, 0).get());
    // The canvas makes one default font.
    VMPtr<TestCanvas> canvas = stoppedCanvas();
    EXPECT_EQ(canvas->getDefaultFont().get(), canvas->getDefaultFont().get());
}
