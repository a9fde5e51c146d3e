// MyFont: fonts load on first selection and only then; selecting hands the
// glyphs to the renderer once per change.
#include "scenes_test_support.h"

using com::ventrix::utility::MyFont;

namespace {

class MyFontTest : public scenetest::SceneTest {};

}  // namespace

TEST_F(MyFontTest, AFontLoadsOnceAndSelectingTheCurrentOneChangesNothing) {
    VMPtr<MyFont> font = MyFont::getInstance();
    EXPECT_EQ(font.get(), MyFont::getInstance().get());
    ASSERT_NE(font->texts, nullptr);
    EXPECT_EQ(font->texts->getString(scenetest::kHello)->_VM_toStdString(), "Hello, world");
    EXPECT_FALSE(font->richFont->isBitmapFont());

    font->selectFont(1);
    VMPtr<VMArray<ts::Gob, 1>> large = font->fontGobs->get(1);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(font->richFont->getGlyphs().get(), large.get());
    EXPECT_EQ(font->currentFont, scenetest::kFontLarge);
    EXPECT_EQ(font->fontGobs->get(0), nullptr);  // not loaded before its first use

    font->richFont->setGlyphs(nullptr);  // a change the manager does not know of
    font->selectFont(1);                 // already current: nothing happens
    EXPECT_EQ(font->richFont->getGlyphs(), nullptr);

    font->selectFont(0);
    EXPECT_EQ(font->currentFont, scenetest::kFontSmall);
    font->selectFont(1);
    EXPECT_EQ(font->fontGobs->get(1), large.get());  // not read again
    EXPECT_EQ(font->richFont->getGlyphs().get(), large.get());
}

TEST_F(MyFontTest, WithoutFontIdsNothingLoadsAndSelectingFails) {
    MyFont::instance = nullptr;
    MyFont::fontResourceIds = nullptr;
    VMPtr<MyFont> font = MyFont::getInstance();
    font->loadFont(0);
    EXPECT_EQ(font->fontGobs, nullptr);
    EXPECT_EQ(VM_THROWN_CLASS(font->selectFont(0)), "java.lang.NullPointerException");
    // A font whose resource is missing stays unloaded and is tried again.
    VMPtr<scenetest::Ints> ids = scenetest::Ints::create(1);
    (*ids)[0] = 0x7FFF;
    font->setFontResourceIds(ids);
    EXPECT_NE(VM_THROWN_CLASS(font->selectFont(0)), "");
    EXPECT_EQ((*font->loadedFontIds)[0], 0);
}
