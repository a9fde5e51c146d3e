// Native fonts: a glyph FreeType fails to render is remembered as failed.
#include "hal_font.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::map<uint32_t, int> g_asked;

// Counts the code points FreeType is asked for; refuses two of them.
bool refuseSome(uint32_t codePoint) {
    ++g_asked[codePoint];
    return codePoint == 0x4E01 || codePoint == 0xBF;
}

int32_t width(HAL_Font* font, const std::u16string& text) {
    return HAL_getCharsWidth(font, text.data(), int32_t(text.size()));
}

TEST(HalFont, AGlyphThatFailsToRenderIsNotTriedAgain) {
    // A font no other test uses, so that its glyph cache starts empty.
    HAL_Font* font = nullptr;
    ASSERT_EQ(HAL_getFont(&font, 32, 7, 16), 0);
    ASSERT_NE(font, nullptr);
    g_asked.clear();
    HAL_setGlyphRenderHook(refuseSome);
    const int32_t plain = width(font, u"az");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(width(font, u"a\x4E01z\xBF"), plain);  // the failed glyphs take no room
    }
    HAL_setGlyphRenderHook(nullptr);
    EXPECT_EQ(g_asked[0x4E01], 1);
    EXPECT_EQ(g_asked[0xBF], 1);
    EXPECT_EQ(g_asked['a'], 1);
    EXPECT_GT(plain, 0);
}

}  // namespace
