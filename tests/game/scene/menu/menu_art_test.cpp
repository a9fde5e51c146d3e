// The menus' art as the scenes read it (the scenes' own tests check the
// bands and buttons): the corner controls, the text areas, the corner
// buttons' animations that the level selection waits on, and the level
// card's frames.
#include "com_ventrix_ui_Screen.h"
#include "menu_test_support.h"
#include "ts_AnimSet.h"

using com::ventrix::ui::Screen;
using com::ventrix::utility::ResManager;

namespace {

class MenuArtTest : public menutest::MenuFixture {
protected:
    // Box `box` of a frame placed at (x, y); empty when the frame has none.
    std::vector<jint> boxOf(jint image, jint set, jint frame, jint x, jint y, jint box) {
        VMPtr<Screen> s = Screen::create()->construct();
        s->setSlotCapacity(1);
        s->addFrame(image, set, frame, x, y);
        VMPtr<VMInts> r = VMInts::create(5);
        const jint n = s->getCollisionRects(0, r, box);
        s->release();
        return n == 0 ? std::vector<jint>{} : std::vector<jint>{(*r)[0], (*r)[1], (*r)[2], (*r)[3]};
    }
};

TEST_F(MenuArtTest, BoxesWhereTheScenesLookForThem) {
    struct Case {
        const char* what;
        jint image, set, frame, x, y, box;
        std::vector<jint> rect;
    };
    const Case cases[] = {
        {"pages' back control", 0xc0d, 0xc06, 2, 0, 640, 0, {8, 552, 120, 80}},
        {"start-up back control", 0xc0d, 0xc06, 3, 0, 640, 0, {8, 552, 120, 80}},
        {"go button", 0xc0d, 0xc06, 4, 480, 640, 0, {352, 552, 120, 80}},
        {"briefing text", 0xc0a, 0xc03, 12, 240, 320, 0, {50, 349, 380, 190}},
        {"information text", 0xc07, 0xc00, 0, 0, 0, 1, {-186, -166, 372, 372}},
        {"no box on the card", 0xc0a, 0xc03, 0, 240, 320, 0, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(boxOf(c.image, c.set, c.frame, c.x, c.y, c.box), c.rect) << c.what;
}

TEST_F(MenuArtTest, CornerButtonsAppearAndGoAsTheLevelSelectionWaitsForThem) {
    com::ventrix::utility::MyObject::frameTime = 40;
    // animation played -> the one that follows; a shown button has box 0, a gone one none
    const struct {
        jint animation, next, x;
        bool touchable;
    } cases[] = {{0, 1, 0, true}, {2, 3, 0, false}, {4, 5, 480, true}, {6, 7, 480, false}};
    for (const auto& c : cases) {
        VMPtr<Screen> s = Screen::create()->construct();
        s->setSlotCapacity(1);
        s->addAnimation(0xc0d, 0xc06, c.animation, c.x, 640);
        for (int i = 0; i < 20; ++i) s->update(0, 0);
        EXPECT_EQ(s->getSlotIndex(0), c.next) << c.animation;
        VMPtr<VMInts> r = VMInts::create(5);
        EXPECT_EQ(s->getCollisionRects(0, r, 0), c.touchable ? 1 : 0) << c.animation;
        s->release();
    }
}

TEST_F(MenuArtTest, TheLevelCardHasTwentyFiveFramesAndTheLastDrawsNothing) {
    ResManager::load(0xc0a, 0xc03);
    VMPtr<ts::AnimSet> card = ResManager::animCache->get(ResManager::getSecondIndex());
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->getFrameCount(), 25);
    EXPECT_EQ(card->getPartCount(24), 0);
    for (jint f = 0; f < 24; ++f) EXPECT_GT(card->getPartCount(f), 0) << f;
    ResManager::load(0xc0c, 0xc05);
    EXPECT_EQ(ResManager::animCache->get(ResManager::getSecondIndex())->getAnimationCount(), 3);
}

}  // namespace
