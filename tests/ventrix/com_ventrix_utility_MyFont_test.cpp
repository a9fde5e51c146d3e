// MyFont: fonts load on first use and only then; using one hands the glyphs
// to the renderer once per change; calls without font ids, after release or
// for a font outside the ids do nothing.
#include "scenes_test_support.h"

using com::ventrix::utility::MyFont;

namespace {

class MyFontTest : public scenetest::SceneTest {};

std::vector<jint> vecOf(const VMPtr<VMInts>& a) {
    return a == nullptr ? std::vector<jint>{} : std::vector<jint>(a->elements(), a->elements() + a->length);
}

}  // namespace

TEST_F(MyFontTest, AFontLoadsOnceAndUsingTheCurrentOneChangesNothing) {
    VMPtr<MyFont> font = MyFont::getInstance();
    EXPECT_EQ(font.get(), MyFont::getInstance().get());
    ASSERT_NE(font->texts, nullptr);
    EXPECT_EQ(font->texts->getString(scenetest::kHello)->_VM_toStdString(), "Hello, world");
    EXPECT_FALSE(font->richFont->isBitmapFont());

    font->useFont(1);
    VMPtr<VMArray<ts::Gob, 1>> large = font->fontGobs->get(1);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(font->richFont->getGlyphs().get(), large.get());
    EXPECT_EQ(font->currentFont, scenetest::kFontLarge);
    EXPECT_EQ(font->fontGobs->get(0), nullptr);  // not loaded before its first use

    font->richFont->setGlyphs(nullptr);  // a change the manager does not know of
    font->useFont(1);                    // already current: nothing happens
    EXPECT_EQ(font->richFont->getGlyphs(), nullptr);

    font->useFont(0);
    EXPECT_EQ(font->currentFont, scenetest::kFontSmall);
    font->useFont(1);
    EXPECT_EQ(font->fontGobs->get(1), large.get());  // not read again
    EXPECT_EQ(font->richFont->getGlyphs().get(), large.get());
}

TEST_F(MyFontTest, WithoutFontIdsAfterReleaseOrOutsideTheIdsFontCallsDoNothing) {
    MyFont::instance = nullptr;
    MyFont::fontResourceIds = nullptr;
    VMPtr<MyFont> font = MyFont::getInstance();
    font->loadFont(0);
    font->useFont(0);
    font->unloadFont(0);
    EXPECT_EQ(font->fontGobs, nullptr);
    EXPECT_EQ(font->loadedFontIds, nullptr);
    EXPECT_EQ(font->currentFont, 0);

    VMPtr<VMInts> ids = VMInts::create(2);
    (*ids)[0] = scenetest::kFontSmall;
    (*ids)[1] = scenetest::kFontLarge;
    font->setFontResourceIds(ids);
    (*ids)[0] = 0x7FFF;  // the manager kept a copy
    for (jint outside : {-1, 2, 100}) {
        font->useFont(outside);
        font->loadFont(outside);
        font->unloadFont(outside);
    }
    EXPECT_EQ(font->currentFont, 0);
    font->useFont(0);
    EXPECT_EQ(font->currentFont, scenetest::kFontSmall);

    font->release();
    EXPECT_EQ(font->richFont, nullptr);
    EXPECT_EQ(font->texts, nullptr);
    EXPECT_EQ(font->currentFont, -1);
    EXPECT_EQ(font->getTextResourceId(), -1);
    EXPECT_EQ(vecOf(font->loadedFontIds), (std::vector<jint>{-1, -1}));
    font->useFont(0);  // released: nothing, not even a load
    font->loadFont(1);
    EXPECT_EQ(font->currentFont, -1);
    EXPECT_EQ(vecOf(font->loadedFontIds), (std::vector<jint>{-1, -1}));
    MyFont::instance = nullptr;
}

TEST_F(MyFontTest, UnloadedFontsReloadAndAMissingFontIsTriedAgain) {
    VMPtr<MyFont> font = MyFont::getInstance();
    font->useFont(0);
    VMPtr<VMArray<ts::Gob, 1>> small = font->fontGobs->get(0);
    font->unloadFont(0);
    EXPECT_EQ(font->fontGobs->get(0), nullptr);
    EXPECT_EQ((*font->loadedFontIds)[0], -1);
    font->richFont->setGlyphs(nullptr);
    font->useFont(0);  // read again; the renderer's resource is unchanged, so no hand-over
    ASSERT_NE(font->fontGobs->get(0), nullptr);
    EXPECT_NE(font->fontGobs->get(0), small.get());
    EXPECT_EQ(font->richFont->getGlyphs(), nullptr);
    EXPECT_EQ(font->currentFont, scenetest::kFontSmall);

    EXPECT_EQ(font->getFontParameter(3), 0);
    VMPtr<VMInts> values = VMInts::create(4);
    (*values)[3] = 9;
    font->setFontParameters(values);
    (*values)[3] = 1;
    EXPECT_EQ(font->getFontParameter(3), 9);

    // A font whose resource is missing stays unloaded and is tried again.
    VMPtr<VMInts> ids = VMInts::create(1);
    (*ids)[0] = 0x7FFF;
    font->setFontResourceIds(ids);
    MyFont::instance = nullptr;
    font = MyFont::getInstance();
    EXPECT_NE(VM_THROWN_CLASS(font->useFont(0)), "");
    EXPECT_EQ((*font->loadedFontIds)[0], 0);
    MyFont::instance = nullptr;
}
