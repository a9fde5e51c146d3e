// The line breaker and the painting of wrapped text.
#include <algorithm>
#include <random>
#include <string>

#include "textcells_test_support.h"
#include "ts_util_text_WrappedText.h"

using java::lang::String;
using ts::util::text::RichFont;
using ts::util::text::WrappedText;
using namespace tstest;

namespace {

class WrappedTextTest : public VMTest {};

VMPtr<String> str(const std::u16string& s) {
    return String::create()->_VM_initLength(reinterpret_cast<const jchar*>(s.data()), jint(s.size()));
}

VMPtr<WrappedText> block() { return WrappedText::create()->construct(nullptr); }

}  // namespace

TEST_F(WrappedTextTest, LineBreakerCases) {
    VMPtr<RichFont> font = fontOf(monoFont());  // every character 10 wide
    struct Case {
        std::u16string text;
        jint width;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"", 100, {}},
        {u"a b", 20, {u"a", u"b"}},                  // the space at the break is consumed
        {u"abcdefgh", 30, {u"abc", u"def", u"gh"}},  // a long word is split
        {u"ab-12cd", 40, {u"ab-1", u"2cd"}},         // a minus sign does not break
        {u"ab-cd12", 40, {u"ab-", u"cd12"}},         // a hyphen does, and stays
        {u"ab@cd e", 40, {u"ab@", u"cd e"}},
        {u"ab\r\ncd\n", 100, {u"ab", u"cd"}},  // CR LF breaks once; no empty last line
        {u"ab\n\ncd\r\rx", 100, {u"ab", u"", u"cd", u"", u"x"}},
        {u"ab  cd", 20, {u"ab", u" c", u"d"}},  // one leading space is dropped
        // Every line takes a character, also one wider than the box.
        {u"abc", 5, {u"a", u"b", u"c"}},
        {u" a\nb", -1, {u"a", u"b"}},
        {u"a\r\n\nb", -1, {u"a", u"", u"b"}},
    };
    for (const Case& c : cases) {
        VMPtr<WrappedText> w = block();
        EXPECT_EQ(w->wrap(font, str(c.text), c.width), jint(c.lines.size()));
        VMPtr<VMArray<String, 1>> lines = w->getLines();
        std::vector<std::u16string> got;
        for (jint i = 0; i < lines->length; ++i) {
            got.emplace_back(reinterpret_cast<const char16_t*>(lines->get(i)->_VM_chars()),
                             size_t(lines->get(i)->length()));
        }
        EXPECT_EQ(got, c.lines) << c.width;
        EXPECT_EQ(w->getHeight(), 12 * lines->length);
    }
    // Line starts are 16-bit: a longer text is refused and the block stays.
    VMPtr<WrappedText> w = block();
    w->wrap(font, VM_STR("keep"), 100);
    EXPECT_EQ(VM_THROWN_CLASS(w->wrap(font, str(std::u16string(32768, u'x')), 100)),
              "java.lang.IllegalArgumentException");
    EXPECT_EQ(text(w->getText()), "keep");
    EXPECT_EQ(w->wrap(font, str(std::u16string(32767, u'x')), 327670), 1);
}

TEST_F(WrappedTextTest, PaintingPlacesLinesInTheBoxAndSkipsThoseAboveTheClip) {
    VMPtr<WrappedText> w = block();
    w->wrap(fontOf(monoFont()), VM_STR("ab cde\n\nf"), 200);  // "ab cde", "", "f"
    w->setLineSpacing(-2);                                    // a line step of 10
    struct Case {
        jint x, y, clipY, anchor;
        std::vector<jint> xs, ys;  // where the glyphs went
    };
    const Case cases[] = {
        // A box 200 wide at x = 10 centres on 110 ("ab cde" is 58 wide in ink).
        {10, 0, 0, Graphics::TOP | Graphics::HCENTER, {81, 91, 111, 121, 131, 106}, {2, 2, 2, 2, 2, 22}},
        {10, 0, 0, Graphics::TOP | Graphics::RIGHT, {152, 162, 182, 192, 202, 202}, {2, 2, 2, 2, 2, 22}},
        // The empty line keeps its step; 25 above the clip begins with line 2 at y + 20.
        {0, -5, 20, Graphics::TOP | Graphics::LEFT, {0}, {17}},
        {0, 0, 35, Graphics::TOP | Graphics::LEFT, {}, {}},
    };
    for (const Case& c : cases) {
        VMPtr<RecordingGraphics> g = recorder(240, 40);
        g->setClip(0, c.clipY, 240, 40 - c.clipY);
        w->paint(g, c.x, c.y, c.anchor);
        std::vector<jint> xs, ys;
        for (const Drawn& d : g->regions()) {
            xs.push_back(d.dx);
            ys.push_back(d.dy);
        }
        EXPECT_EQ(xs, c.xs) << c.anchor << " " << c.clipY;
        EXPECT_EQ(ys, c.ys) << c.anchor << " " << c.clipY;
    }
    // A line step below 1 starts at the first line.
    w->setLineSpacing(-12);
    VMPtr<RecordingGraphics> g = recorder(240, 40);
    g->setClip(0, 20, 240, 20);
    w->paint(g, 0, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(g->regions().size(), 6u);
}

TEST_F(WrappedTextTest, TheCanvasFontAndAlpha) {
    VMPtr<TestCanvas> canvas = stoppedCanvas();
    VMPtr<WrappedText> w = WrappedText::create()->construct(canvas);
    EXPECT_EQ(w->wrap(VM_STR("Hello"), 1000), 1);
    EXPECT_NE(w->font.get(), canvas->getDefaultFont().get());  // a copy
    VMPtr<Gobs> glyphs = monoFont();
    w->setAlpha(100);
    w->wrap(fontOf(glyphs), VM_STR("ab"), 100);
    w->paint(Image::createImage(50, 20)->getGraphics(), 0, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(fontOf(glyphs)->getAlpha(), 100);
    w->reset();
    EXPECT_EQ(w->getLineCount(), 0);
    EXPECT_EQ(w->getAlpha(), 100);
}

// Random texts at random widths in the test data set's font: the breaker
// ends, every line fits or holds one character and no line break, and the
// lines with the consumed breaks and dropped spaces between them give the
// text back.
TEST_F(WrappedTextTest, RandomTextsWrapIntoLinesThatRebuildThem) {
    VMPtr<RichFont> font = fontOf(loadGlyphs(FONT_SMALL));
    const std::u16string alphabet = u"abcdefWMil   @@--0123456789\r\n\u20ac\u00e9";
    const std::u16string gaps[] = {u"", u" ", u"\n", u"\r", u"\r\n", u"  ", u"\n ", u"\r ", u"\r\n "};
    auto isGap = [&](const std::u16string& s) {
        return std::find(std::begin(gaps), std::end(gaps), s) != std::end(gaps);
    };
    std::mt19937 random(2311);
    for (int round = 0; round < 400; ++round) {
        std::u16string t;
        for (int i = int(random() % 120); i > 0; --i) t += alphabet[random() % alphabet.size()];
        const jint width = jint(random() % 130) - 10;
        VMPtr<WrappedText> w = block();
        const jint count = w->wrap(font, str(t), width);
        size_t at = 0;
        for (jint k = 0; k < count; ++k) {
            const size_t start = size_t(w->lines->get(2 * k)), length = size_t(w->lines->get(2 * k + 1));
            ASSERT_TRUE(start >= at && isGap(t.substr(at, start - at))) << "round " << round << " line " << k;
            ASSERT_EQ(t.substr(start, length).find_first_of(u"\r\n"), std::u16string::npos) << "round " << round;
            if (length > 1) {
                ASSERT_LE(font->substringWidth(str(t), jint(start), jint(length)), width) << "round " << round;
            }
            at = start + length;
        }
        ASSERT_TRUE(isGap(t.substr(at))) << "round " << round;
    }
}
