// The logo scene: its screen built in five steps with only the logo drawn,
// the logo centred by its size, the title picture at 3000 ms and the sound
// question one frame after the switch at 7000 ms or later.
#include "menu_test_support.h"
#include "scene_LogoScene.h"

using scene::LogoScene;

namespace {

class LogoSceneTest : public menutest::MenuFixture {};

TEST_F(LogoSceneTest, BuildsInFiveStepsAndDrawsTheLogoAloneCentred) {
    VMPtr<LogoScene> s = LogoScene::create()->construct();
    std::vector<jint> counters;
    do {
        counters.push_back(s->stage0Busy);
        s->loadStage0();
    } while (s->stage0Busy != 0 && counters.size() < 10);
    EXPECT_EQ(counters, (std::vector<jint>{0, 4, 3, 2, 1}));
    com::ventrix::ui::Screen* screen = s->screen.get();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->getSlotCapacity(), 5);
    EXPECT_EQ(screen->getSlotCount(), 1);  // the title picture is built but not drawn
    EXPECT_EQ(screen->getSlotKind(4), com::ventrix::ui::Screen::KIND_IMAGE);
    EXPECT_EQ(screen->rectLayer, 4);  // the bands lie under the banner
    // and wait for the title: nothing but the logo is drawn.
    EXPECT_EQ(screen->rects->get(0), nullptr);
    EXPECT_EQ(screen->rects->get(1), nullptr);
    EXPECT_EQ(s->objects->get(0), static_cast<com::ventrix::utility::MyObject*>(screen));
    // The logo is 240 x 160: centred at (120, 240).
    EXPECT_EQ((std::vector<jint>{screen->getSlotWidth(0), screen->getSlotHeight(0)}), (std::vector<jint>{240, 160}));
    EXPECT_EQ((std::vector<jint>{screen->getSlotX(0), screen->getSlotY(0)}), (std::vector<jint>{120, 240}));
    s->dispose();
}

TEST_F(LogoSceneTest, TitleAtThreeSecondsAndTheSoundQuestionAfterSeven) {
    struct Case {
        jint frameTime;
        int titleFrame, changeFrame;  // 1-based
    };
    const Case cases[] = {{40, 75, 175}, {8000, 1, 2}, {1000, 3, 7}, {3001, 1, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE("frame time " + std::to_string(c.frameTime));
        manager->asked.clear();
        VMPtr<LogoScene> s = LogoScene::create()->construct();
        eventCanvas(s.get())->frameMs = c.frameTime;
        s->startLoading(-1);
        s->init();  // loads at once
        EXPECT_FALSE(s->loading);
        EXPECT_FALSE(s->logoShown);
        int title = 0, change = 0;
        for (int frame = 1; frame <= 400 && change == 0; ++frame) {
            s->update();
            if (title == 0 && s->screen->getSlotCount() == 5) title = frame;
            if (!manager->asked.empty()) change = frame;
        }
        EXPECT_EQ(title, c.titleFrame);
        EXPECT_EQ(change, c.changeFrame);
        EXPECT_EQ(manager->asked, (std::vector<jint>{15}));
        EXPECT_TRUE(s->logoShown);
        VMPtr<VMInts> band = s->screen->rects->get(0);
        ASSERT_NE(band, nullptr);
        EXPECT_EQ((std::vector<jint>{(*band)[0], (*band)[1], (*band)[2], (*band)[3], s->screen->rectLayer}),
                  (std::vector<jint>{0, 0, 480, 152, 4}));
        s->dispose();
    }
}

TEST_F(LogoSceneTest, GoldenLogoAndTitle) {
    VMPtr<LogoScene> s = LogoScene::create()->construct();
    s->startLoading(-1);
    s->init();
    EXPECT_TRUE(matchesGolden("game", "logo", picture(s.get())));
    eventCanvas(s.get())->frameMs = 3000;
    s->update();
    EXPECT_TRUE(matchesGolden("game", "logo_title", picture(s.get())));
    s->dispose();
}

}  // namespace
