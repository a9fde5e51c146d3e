// Bitmap and system fonts: glyph arrays, lookup, measuring, drawing under
// anchors and transforms, alpha.
#include <algorithm>
#include <climits>

#include "java_lang_StringBuffer.h"
#include "javax_microedition_lcdui_Font.h"
#include "textcells_test_support.h"
#include "ts_GobAlphaImage.h"

using java::lang::String;
using javax::microedition::lcdui::Font;
using ts::util::text::RichFont;
using namespace tstest;

namespace {

class RichFontTest : public VMTest {};

constexpr jint TL = Graphics::TOP | Graphics::LEFT;

// The box that the drawn glyph regions cover (x, y, width, height).
std::vector<jint> unionOf(const std::vector<Drawn>& drawn) {
    jint x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (const Drawn& d : drawn) {
        const bool turned = (d.transform & 4) != 0;
        const jint w = turned ? d.h : d.w, h = turned ? d.w : d.h;
        x0 = std::min(x0, d.dx);
        y0 = std::min(y0, d.dy);
        x1 = std::max(x1, d.dx + w);
        y1 = std::max(y1, d.dy + h);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

TEST_F(RichFontTest, ConversionBuildsCodesFromDifferencesOncePerArray) {
    // Steps 65, 1, 1, ... and one with a high byte of 1 (adds 256).
    std::vector<GlyphSpec> specs;
    const jint steps[8] = {65, 1, 1, 1, 1, 1, 1, 257};
    for (jint i = 0; i < 8; ++i) specs.push_back({steps[i], -1, 3 + i, 2, 2, 5, i == 3 ? 255 : i});
    VMPtr<Gobs> glyphs = glyphArray(specs);
    VMPtr<RichFont> first = fontOf(glyphs);
    const jint codes[8] = {65, 66, 67, 68, 69, 70, 71, 328};
    for (jint i = 0; i < 8; ++i) {
        EXPECT_EQ(jchar(glyphs->get(i)->collisionX), codes[i]);
        EXPECT_EQ(first->getGlyph(jchar(codes[i])).get(), glyphs->get(i));
        EXPECT_EQ(glyphs->get(i)->offsetX, -1);      // the real offsets
        EXPECT_EQ(glyphs->get(i)->offsetY, 3 + i);
    }
    EXPECT_EQ(glyphs->get(3)->collisionHeight, 0);  // the marker
    // A second font over the same array leaves it alone.
    VMPtr<RichFont> second = fontOf(glyphs);
    EXPECT_EQ(jchar(glyphs->get(7)->collisionX), 328);
    EXPECT_EQ(glyphs->get(1)->offsetY, 4);
    EXPECT_EQ(second->getGlyph(u'B').get(), glyphs->get(1));
    EXPECT_EQ(second->getGlyph(u'Z'), nullptr);
    // An extra mapping comes before the array.
    second->mapChar(u'B', glyphs->get(7));
    EXPECT_EQ(second->getGlyph(u'B').get(), glyphs->get(7));
    EXPECT_EQ(first->getGlyph(u'B').get(), glyphs->get(1));
}

TEST_F(RichFontTest, ArraysWithoutTheMetricGlyphsAreRefusedAndChangeNothing) {
    VMPtr<Gobs> full = monoFont();
    VMPtr<RichFont> font = fontOf(full);
    std::vector<GlyphSpec> specs;
    for (jint i = 0; i < 6; ++i) specs.push_back({65, 0, 0, 2, 2, 5, i == 3 ? 255 : 0});
    VMPtr<Gobs> shortArray = glyphArray(specs);
    EXPECT_EQ(VM_THROWN_CLASS(font->setGlyphs(shortArray)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(font->getGlyphs().get(), full.get());
    EXPECT_EQ(shortArray->get(3)->collisionHeight, 255);
    EXPECT_EQ(VM_THROWN_CLASS(font->setGlyphs(Gobs::create(0))), "java.lang.IllegalArgumentException");
    // A null glyph is found before anything is converted.
    VMPtr<Gobs> holed = monoFont();
    holed->set(20, static_cast<ts::Gob*>(nullptr));
    EXPECT_EQ(VM_THROWN_CLASS(font->setGlyphs(holed)), "java.lang.NullPointerException");
    EXPECT_EQ(holed->get(3)->collisionHeight, 255);
    font->setGlyphs(nullptr);
    EXPECT_FALSE(font->isBitmapFont());
}

TEST_F(RichFontTest, MetricsWidthsAndHeights) {
    VMPtr<RichFont> font = fontOf(monoFont(10, 7, 2, 7));
    EXPECT_EQ(font->getHeight(), 12);
    EXPECT_EQ(font->getBaselinePosition(), 9);
    EXPECT_EQ(font->getLineHeight(), 14);
    EXPECT_EQ(font->getExtraMetric(), 3);
    EXPECT_FALSE(font->alignsByAdvance());
    // Advances; a character without glyph takes the missing advance.
    EXPECT_EQ(font->stringWidth(VM_STR("AB C")), 40);
    EXPECT_EQ(font->stringWidth(VM_STR("A\u00e9")), 17);
    EXPECT_EQ(font->charWidth(u'x'), 10);
    EXPECT_EQ(font->getCharAscent(u'A'), 7);
    EXPECT_EQ(font->getCharDescent(u'A'), 0);
    EXPECT_EQ(font->getCharAscent(u'\u00e9'), 0);
    // Height from the line top, or once from the highest glyph top.
    EXPECT_EQ(font->stringHeight(VM_STR("AB")), 9);
    font->setTightHeight(true);
    EXPECT_EQ(font->stringHeight(VM_STR("AB")), 7);
    EXPECT_EQ(font->stringHeight(VM_STR("AB")), 9);
    EXPECT_EQ(font->stringHeight(VM_STR(" ")), 0);
}

// The turns that text is drawn with (mirrored text has no meaningful box).
// "ABCD" is 38 wide: even, so HCENTER puts no odd pixel aside.
TEST_F(RichFontTest, BoundsCoverTheDrawnGlyphsUnderEveryTurnAndAnchor) {
    VMPtr<RichFont> font = fontOf(monoFont(10, 8, 2, 7));
    const jint anchors[] = {TL,
                            Graphics::TOP | Graphics::HCENTER,
                            Graphics::TOP | Graphics::RIGHT,
                            Graphics::BASELINE | Graphics::LEFT,
                            Graphics::BASELINE | Graphics::HCENTER,
                            Graphics::BOTTOM | Graphics::RIGHT,
                            Graphics::BOTTOM | Graphics::HCENTER};
    VMPtr<VMArray<jint, 1>> rect = VMArray<jint, 1>::create(4);
    for (jint t : {0, 3, 5, 6}) {
        for (jint anchor : anchors) {
            font->setTransform(t);
            VMPtr<RecordingGraphics> g = recorder(200, 200);
            font->drawString(g, VM_STR("ABCD"), 100, 100, anchor);
            font->getStringBounds(VM_STR("ABCD"), 100, 100, rect, anchor);
            const std::vector<jint> expected = unionOf(g->regions());
            const std::vector<jint> bounds(rect->elements(), rect->elements() + 4);
            EXPECT_EQ(bounds, expected) << "transform " << t << " anchor " << anchor;
        }
    }
}

TEST_F(RichFontTest, AnchorsAndPenDirectionUnderTransforms) {
    // Ink 7 wide: "AB" is 17 wide, odd.
    VMPtr<RichFont> font = fontOf(monoFont(10, 7, 2, 7));
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
            EXPECT_EQ(d.transform & 7, c.transform);
        }
        EXPECT_EQ(xs, c.xs) << "transform " << c.transform << " anchor " << c.anchor;
        EXPECT_EQ(ys, c.ys) << "transform " << c.transform << " anchor " << c.anchor;
    }
}

TEST_F(RichFontTest, SpacesAndMissingCharactersAdvanceWithoutDrawing) {
    VMPtr<RichFont> font = fontOf(monoFont(10, 7, 2, 7));
    font->setAlpha(128);  // glyphs become translucent copies; the space has no image
    VMPtr<RecordingGraphics> g = recorder(200, 50);
    font->drawString(g, VM_STR("A \u00e9B"), 0, 0, TL);
    const std::vector<Drawn> drawn = g->regions();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].dx, 27);  // 10 + 10 (space) + 7 (missing)
    EXPECT_EQ(g->getAlpha(), 255);
}

TEST_F(RichFontTest, NumbersAreDrawnWithTheirPadding) {
    VMPtr<RichFont> font = fontOf(monoFont());
    VMPtr<RecordingGraphics> g = recorder(200, 50);
    font->drawNumber(g, -42, 4, 0, 0, TL);
    std::vector<void*> drawn, expected;
    for (const Drawn& d : g->regions()) drawn.push_back(d.image);
    for (jchar c : std::u16string(u"-0042")) expected.push_back(font->getGlyph(c)->image.get());
    EXPECT_EQ(drawn, expected);
}

TEST_F(RichFontTest, AlphaIsSharedThroughTheGlyphArray) {
    VMPtr<Gobs> glyphs = monoFont();
    VMPtr<RichFont> a = fontOf(glyphs);
    VMPtr<RichFont> b = RichFont::create()->construct(a);
    EXPECT_EQ(b->getGlyphs().get(), glyphs.get());
    EXPECT_EQ(a->getAlpha(), 255);
    a->setAlpha(128);
    EXPECT_EQ(b->getAlpha(), 128);
    for (jint i = 0; i < glyphs->length; ++i) EXPECT_TRUE(glyphs->get(i)->isAlphaImage());
    // The copies keep the converted codes.
    EXPECT_EQ(b->getGlyph(u'A').get(), glyphs->get('A' - ' '));
    EXPECT_EQ(RichFont::create()->construct()->getAlpha(), 255);
}

TEST_F(RichFontTest, SystemFontDrawingRestoresTheColourAndTouchesNothingWhenEmpty) {
    VMPtr<RichFont> font = RichFont::create()->construct();
    EXPECT_FALSE(font->isBitmapFont());
    EXPECT_EQ(font->getSystemFontIndex(), 1);
    EXPECT_EQ(font->systemFont.get(), Font::getFont(0, 0, 0).get());
    VMPtr<Graphics> g = Image::createImage(100, 40)->getGraphics();
    VMPtr<Font> other = Font::getFont(Font::FACE_MONOSPACE, 0, Font::SIZE_LARGE);
    g->setFont(other);
    g->setColor(0x123456);
    font->setColor(0xFF00FF00);
    font->drawString(g, VM_STR(""), 0, 0, TL);
    EXPECT_EQ(g->getFont().get(), other.get());
    font->drawString(g, VM_STR("Hi"), 0, 0, TL);
    EXPECT_EQ(g->getColor(), 0x123456);
    EXPECT_EQ(g->getFont().get(), font->systemFont.get());
    EXPECT_EQ(font->stringWidth(VM_STR("Hi")), font->systemFont->stringWidth(VM_STR("Hi")));
    EXPECT_EQ(font->getHeight(), font->systemFont->getHeight());
    // The copy takes the system font and the colour.
    VMPtr<RichFont> copy = RichFont::create()->construct(font);
    EXPECT_TRUE(copy->colourSet);
    EXPECT_EQ(copy->colour, 0x00FF00);
}

TEST_F(RichFontTest, SetSystemFontKeepsTheFontOfTheSameIndexAndDropsTheGlyphs) {
    VMPtr<RichFont> font = fontOf(monoFont());
    VMPtr<Font> before = font->systemFont;
    font->setSystemFont(1);
    EXPECT_FALSE(font->isBitmapFont());
    EXPECT_EQ(font->systemFont.get(), before.get());
    font->setSystemFont(4);
    EXPECT_EQ(font->systemFont.get(), Font::getFont(0, Font::STYLE_BOLD, Font::SIZE_MEDIUM).get());
    EXPECT_EQ(font->getSystemFontIndex(), 4);
    EXPECT_EQ(VM_THROWN_CLASS(font->setSystemFont(6)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(font->getSystemFontIndex(), 4);
}

TEST_F(RichFontTest, TheCanvasKeepsOneDefaultFont) {
    VMPtr<TestCanvas> canvas = stoppedCanvas();
    VMPtr<RichFont> font = canvas->getDefaultFont();
    EXPECT_FALSE(font->isBitmapFont());
    EXPECT_EQ(canvas->getDefaultFont().get(), font.get());
}
