// Font: attribute checks, one object per request, the default font, and
// measuring.
#include <climits>

#include "javax_microedition_lcdui_Font.h"
#include "vm_test.h"

using javax::microedition::lcdui::Font;

namespace {
class FontTest : public VMTest {};
}  // namespace

TEST_F(FontTest, UnsupportedAttributesAreRefusedInOrder) {
    struct Case {
        jint face, style, size;
        const char* text;
    };
    const Case cases[] = {{0, 8, 0, "java.lang.IllegalArgumentException: Unsupported style"},
                          {1, 0, 0, "java.lang.IllegalArgumentException: Unsupported face"},
                          {0, 0, 12, "java.lang.IllegalArgumentException: Unsupported size"},
                          {1, 8, 12, "java.lang.IllegalArgumentException: Unsupported face"},
                          {0, -1, 12, "java.lang.IllegalArgumentException: Unsupported style"}};
    for (const Case& c : cases) EXPECT_EQ(VM_THROWN_TEXT(Font::getFont(c.face, c.style, c.size)), c.text);
}

TEST_F(FontTest, EqualRequestsGiveOneObjectAndTheDefaultIsApart) {
    VMPtr<Font> a = Font::getFont(32, 1 | 4, 16);
    EXPECT_EQ(a.get(), Font::getFont(32, 1 | 4, 16).get());
    EXPECT_TRUE(a->isBold());
    EXPECT_TRUE(a->isUnderlined());
    EXPECT_FALSE(a->isItalic());
    EXPECT_FALSE(a->isPlain());
    EXPECT_EQ(a->getFace(), 32);
    EXPECT_EQ(a->getSize(), 16);
    VMPtr<Font> system = Font::getFont(0, 0, 0);
    VMPtr<Font> standard = Font::getDefaultFont();
    EXPECT_NE(system.get(), standard.get());
    EXPECT_EQ(standard.get(), Font::getDefaultFont().get());
    EXPECT_EQ(system->getHeight(), standard->getHeight());
    EXPECT_EQ(system->getBaselinePosition(), standard->getBaselinePosition());
    EXPECT_TRUE(standard->isPlain());
    // Sizes grow from small to large; the baseline lies inside the line.
    jint small = Font::getFont(0, 0, 8)->getHeight(), large = Font::getFont(0, 0, 16)->getHeight();
    EXPECT_LT(small, standard->getHeight());
    EXPECT_LT(standard->getHeight(), large);
    EXPECT_GT(standard->getBaselinePosition(), 0);
    EXPECT_LT(standard->getBaselinePosition(), standard->getHeight());
}

TEST_F(FontTest, WidthsAddUpAndRangesAreChecked) {
    VMPtr<Font> mono = Font::getFont(Font::FACE_MONOSPACE, 0, 0);
    jint w = mono->charWidth(u'm');
    EXPECT_GT(w, 0);
    EXPECT_EQ(mono->charWidth(u'i'), w);  // monospace
    EXPECT_EQ(mono->stringWidth(VM_STR("mimi")), 4 * w);
    EXPECT_EQ(mono->substringWidth(VM_STR("abcd"), 1, 2), 2 * w);
    VMPtr<VMArray<jchar, 1>> chars = VMArray<jchar, 1>::create(3);
    EXPECT_EQ(mono->charsWidth(chars, 0, 0), 0);
    EXPECT_EQ(mono->charsWidth(chars, 3, 0), 0);
    VMPtr<Font> sans = Font::getDefaultFont();
    EXPECT_GT(sans->charWidth(u'W'), sans->charWidth(u'i'));
    EXPECT_EQ(VM_THROWN_CLASS(sans->substringWidth(VM_STR("abc"), 2, 2)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(sans->charsWidth(chars, 1, INT_MAX)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(sans->charsWidth(chars, -1, 1)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(sans->charsWidth(nullptr, 0, 0)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(sans->stringWidth(nullptr)), "java.lang.NullPointerException");
}
