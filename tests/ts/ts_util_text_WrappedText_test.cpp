// The line breaker and the painting of wrapped text.
#include <random>
#include <string>

#include "textcells_test_support.h"
#include "ts_util_text_StringHelper.h"
#include "ts_util_text_WrappedText.h"

using java::lang::String;
using ts::util::text::RichFont;
using ts::util::text::StringHelper;
using ts::util::text::WrappedText;
using namespace tstest;

namespace {

class WrappedTextTest : public VMTest {};

VMPtr<String> str(const std::u16string& s) {
    return String::create()->_VM_initLength(reinterpret_cast<const jchar*>(s.data()), jint(s.size()));
}

std::vector<std::u16string> linesOf(const VMPtr<WrappedText>& w) {
    std::vector<std::u16string> out;
    VMPtr<VMArray<String, 1>> lines = w->getLines();
    for (jint i = 0; i < lines->length; ++i) {
        VMPtr<String> s = lines->get(i);
        out.emplace_back(reinterpret_cast<const char16_t*>(s->_VM_chars()), size_t(s->length()));
    }
    return out;
}

VMPtr<WrappedText> block() { return WrappedText::create()->construct(nullptr); }

}  // namespace

TEST_F(WrappedTextTest, LineBreakerCases) {
    // Every character is 10 wide.
    VMPtr<RichFont> font = fontOf(monoFont());
    struct Case {
        std::u16string text;
        jint width;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"", 100, {}},
        {u"a b", 20, {u"a", u"b"}},                       // the space at the break is consumed
        {u"abcdefgh", 30, {u"abc", u"def", u"gh"}},       // a long word is split
        {u"ab-12cd", 40, {u"ab-1", u"2cd"}},              // a minus sign does not break
        {u"ab-cd12", 40, {u"ab-", u"cd12"}},              // a hyphen does, and stays
        {u"ab@cd e", 40, {u"ab@", u"cd e"}},
        {u"ab\r\ncd", 100, {u"ab", u"cd"}},               // CR LF breaks once
        {u"ab\n\ncd\r\rx", 100, {u"ab", u"", u"cd", u"", u"x"}},
        {u"ab\n", 100, {u"ab"}},                          // no empty last line
        {u"ab  cd", 20, {u"ab", u" c", u"d"}},            // one leading space is dropped
        {u"one two three", 80, {u"one two", u"three"}},
        // Every line takes a character, also one wider than the box.
        {u"abc", 5, {u"a", u"b", u"c"}},
        {u" a\nb", -1, {u"a", u"b"}},
        {u"a\r\n\nb", -1, {u"a", u"", u"b"}},
    };
    for (const Case& c : cases) {
        VMPtr<WrappedText> w = block();
        const jint count = w->wrap(font, str(c.text), c.width);
        EXPECT_EQ(count, jint(c.lines.size())) << c.width;
        EXPECT_EQ(linesOf(w), c.lines) << c.width;
        EXPECT_EQ(w->getHeight(), 12 * count);
        EXPECT_EQ(w->getMaxWidth(), c.width);
    }
}

TEST_F(WrappedTextTest, LongTextsAreRefusedAndTheBlockStays) {
    VMPtr<RichFont> font = fontOf(monoFont());
    VMPtr<WrappedText> w = block();
    w->wrap(font, VM_STR("keep"), 100);
    const std::u16string longText(32768, u'x');
    EXPECT_EQ(VM_THROWN_CLASS(w->wrap(font, str(longText), 100)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(text(w->getText()), "keep");
    EXPECT_EQ(w->getLineCount(), 1);
    // 32767 characters still wrap.
    EXPECT_EQ(w->wrap(font, str(std::u16string(32767, u'x')), 10 * 32767), 1);
    EXPECT_EQ(w->getLineStart(0), 0);
}

TEST_F(WrappedTextTest, PaintingPlacesLinesInTheBoxAndSkipsThoseAboveTheClip) {
    VMPtr<RichFont> font = fontOf(monoFont());
    VMPtr<WrappedText> w = block();
    w->wrap(font, VM_STR("ab cde\n\nf"), 200);  // "ab cde", "", "f"
    w->setLineSpacing(-2);                         // a line step of 10
    EXPECT_EQ(w->getLineStep(), 10);
    struct Case {
        jint x, y, clipY, anchor;
        std::vector<jint> xs, ys;  // where the glyphs went
    };
    const Case cases[] = {
        // HCENTER: a box 200 wide at x = 10 centres on 110 ("ab cde" is 58 wide in ink).
        {10, 0, 0, Graphics::TOP | Graphics::HCENTER, {81, 91, 111, 121, 131, 106}, {2, 2, 2, 2, 2, 22}},
        {10, 0, 0, Graphics::TOP | Graphics::RIGHT, {152, 162, 182, 192, 202, 202}, {2, 2, 2, 2, 2, 22}},
        // The empty line keeps its step; starting 25 above the clip begins at line 2.
        {0, 0, 0, Graphics::TOP | Graphics::LEFT, {0, 10, 30, 40, 50, 0}, {2, 2, 2, 2, 2, 22}},
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
    ASSERT_EQ(g->regions().size(), 6u);
    for (const Drawn& d : g->regions()) EXPECT_EQ(d.dy, 2);  // every line at y = 0
}

TEST_F(WrappedTextTest, AlphaResetAndTheCanvasFont) {
    VMPtr<TestCanvas> canvas = stoppedCanvas();
    VMPtr<WrappedText> w = WrappedText::create()->construct(canvas);
    EXPECT_EQ(w->getAlpha(), 255);
    EXPECT_EQ(w->wrap(VM_STR("Hello"), 1000), 1);
    // A copy of the canvas's system font.
    EXPECT_NE(w->font.get(), canvas->getDefaultFont().get());
    EXPECT_EQ(w->font->systemFont.get(), canvas->getDefaultFont()->systemFont.get());
    // Alpha goes to a bitmap font's shared glyphs when painting.
    VMPtr<Gobs> glyphs = monoFont();
    w->setAlpha(100);
    w->setLineSpacing(3);
    w->wrap(fontOf(glyphs), VM_STR("ab"), 100);
    w->paint(Image::createImage(50, 20)->getGraphics(), 0, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(fontOf(glyphs)->getAlpha(), 100);
    w->reset();
    EXPECT_EQ(w->getText(), nullptr);
    EXPECT_EQ(w->getLineCount(), 0);
    EXPECT_EQ(w->getLineSpacing(), 0);
    EXPECT_EQ(w->getAlpha(), 100);
    EXPECT_EQ(w->getBreakChars().get(), WrappedText::defaultBreakChars.get());
}

TEST_F(WrappedTextTest, LastIndexOfSearchesTheRangeDownwards) {
    VMPtr<String> s = VM_STR("a-b-c");
    EXPECT_EQ(StringHelper::lastIndexOf(s, u'-', 0, 4), 3);
    EXPECT_EQ(StringHelper::lastIndexOf(s, u'-', 0, 2), 1);
    EXPECT_EQ(StringHelper::lastIndexOf(s, u'-', 2, 2), -1);
    EXPECT_EQ(StringHelper::lastIndexOf(s, u'-', 3, 2), -1);
    EXPECT_EQ(VM_THROWN_CLASS(StringHelper::lastIndexOf(s, u'-', 0, 5)), "java.lang.StringIndexOutOfBoundsException");
}

// Random texts at random widths in the test data set's font: the breaker
// ends, every line fits or holds one character, and the lines with the
// breaks and dropped spaces between them give the text back.
TEST_F(WrappedTextTest, RandomTextsWrapIntoLinesThatRebuildThem) {
    VMPtr<RichFont> font = fontOf(loadGlyphs(FONT_SMALL));
    const std::u16string alphabet = u"abcdefWMil   @@--0123456789\r\n\u20ac\u00e9";
    std::mt19937 random(2311);
    const std::u16string gaps[] = {u"", u" ", u"\n", u"\r", u"\r\n", u"  ", u"\n ", u"\r ", u"\r\n "};
    auto isGap = [&](const std::u16string& g) { return std::find(std::begin(gaps), std::end(gaps), g) != std::end(gaps); };
    for (int round = 0; round < 400; ++round) {
        std::u16string t;
        const int n = int(random() % 120);
        for (int i = 0; i < n; ++i) t += alphabet[random() % alphabet.size()];
        const jint width = jint(random() % 130) - 10;
        VMPtr<WrappedText> w = block();
        const jint count = w->wrap(font, str(t), width);
        ASSERT_EQ(count, w->getLineCount());
        size_t at = 0;
        for (jint k = 0; k < count; ++k) {
            const size_t start = size_t(w->lines->get(2 * k)), length = size_t(w->lines->get(2 * k + 1));
            ASSERT_GE(start, at);
            ASSERT_TRUE(isGap(t.substr(at, start - at))) << "round " << round << " line " << k;
            const std::u16string line = t.substr(start, length);
            ASSERT_EQ(line.find_first_of(u"\r\n"), std::u16string::npos) << "round " << round;
            if (length > 1) {
                ASSERT_LE(font->substringWidth(str(t), jint(start), jint(length)), width) << "round " << round;
            }
            at = start + length;
        }
        ASSERT_TRUE(isGap(t.substr(at))) << "round " << round;
    }
}
