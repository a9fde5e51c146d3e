// Main: the ticks, paints and life-cycle calls it hands to the scene
// manager, the centred game area (golden frames on three canvas sizes), and
// its random numbers.
#include "com_ventrix_common_CommonCanvas.h"
#include "golden.h"
#include "java_lang_Integer.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_input_PointerInputEventManager.h"
#include "ventrix_test_support.h"

using com::ventrix::common::CommonCanvas;
using com::ventrix::common::Main;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using ts::input::PointerInputEventManager;
using ventrixtest::RecordingSceneManager;

namespace maintest {

// A game canvas of another size, its frame loop stopped.
class SizedCanvas : public CommonCanvas {
    VM_DECLARE_CLASS(SizedCanvas, CommonCanvas)

public:
    jint width = 0;
    jint height = 0;
    VMPtr<SizedCanvas> construct(jint w, jint h) {
        Super::construct(nullptr);
        width = w;
        height = h;
        postEvent(EVENT_EXIT);
        return this;
    }
    jint getWidth() override { return width; }
    jint getHeight() override { return height; }
};

// Every int it draws is the same.
class FixedRandom : public ts::util::FastRandom {
    VM_DECLARE_CLASS(FixedRandom, ts::util::FastRandom)

public:
    jint value = 0;
    VMPtr<FixedRandom> construct(jint v) {
        Super::construct(0);
        value = v;
        return this;
    }
    jint nextInt() override { return value; }
};

}  // namespace maintest

VM_REGISTER_CLASS(maintest::FixedRandom, .name = "maintest.FixedRandom",
                  .sourceName = "tests/ventrix/com_ventrix_common_Main_test")
VM_REGISTER_CLASS(maintest::SizedCanvas, .name = "maintest.SizedCanvas",
                  .sourceName = "tests/ventrix/com_ventrix_common_Main_test")

using maintest::SizedCanvas;

namespace {

class MainTest : public ventrixtest::WindowTest {
protected:
    // A controller on a canvas of that size, with a recording scene manager
    // that paints the game area.
    VMPtr<RecordingSceneManager> start(jint width, jint height) {
        canvas = SizedCanvas::create()->construct(width, height);
        EXPECT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
        controller = Main::create()->construct(canvas);
        VMPtr<RecordingSceneManager> sm = RecordingSceneManager::create()->construct();
        sm->painter = paintGameArea;
        controller->setSceneManager(sm);
        return sm;
    }
    // The game area: dark blue, red and green corners, a white cross through
    // its middle.
    static void paintGameArea(Graphics* g) {
        g->setColor(0x203060);
        g->fillRect(0, 0, 480, 640);
        g->setColor(0xFF0000);
        g->fillRect(0, 0, 40, 40);
        g->setColor(0x00FF00);
        g->fillRect(440, 600, 40, 40);
        g->setColor(0xFFFFFF);
        g->fillRect(236, 0, 8, 640);
        g->fillRect(0, 316, 480, 8);
    }
    static Picture pictureOf(const VMPtr<Image>& image) {
        Picture p;
        p.width = image->getWidth();
        p.height = image->getHeight();
        VMPtr<VMArray<jint, 1>> data = VMArray<jint, 1>::create(p.width * p.height);
        image->getRGB(data, 0, p.width, 0, 0, p.width, p.height);
        p.argb.assign(reinterpret_cast<const uint32_t*>(data->elements()),
                      reinterpret_cast<const uint32_t*>(data->elements()) + data->length);
        return p;
    }

    VMPtr<SizedCanvas> canvas;
    VMPtr<Main> controller;
};

}  // namespace

TEST_F(MainTest, TheGameAreaIsCentredWithBlackMarginsAndTouchesFollowIt) {
    struct Case {
        jint width, height, offsetX, offsetY;
        const char* golden;
        jint touchX, touchY;  // a touch on the canvas
    };
    for (const Case& c : {Case{480, 640, 0, 0, "main_offset_480x640", 10, 20},
                          Case{480, 800, 0, 80, "main_offset_480x800", 10, 100},
                          Case{240, 320, -120, -160, "main_offset_240x320", 10, 20}}) {
        SCOPED_TRACE(c.golden);
        start(c.width, c.height);
        VMPtr<Image> image = Image::createImage(c.width, c.height);
        VMPtr<Graphics> g = image->getGraphics();
        controller->paint(g);
        EXPECT_EQ(Main::offsetX, c.offsetX);
        EXPECT_EQ(Main::offsetY, c.offsetY);
        EXPECT_EQ(canvas->screenOffsetX, c.offsetX);
        EXPECT_EQ(canvas->screenOffsetY, c.offsetY);
        // The translation is undone.
        EXPECT_EQ(g->getTranslateX(), 0);
        EXPECT_EQ(g->getTranslateY(), 0);
        EXPECT_TRUE(matchesGolden("ventrix", c.golden, pictureOf(image)));

        PointerInputEventManager::setEnabled(true);
        canvas->pointerPressed(c.touchX, c.touchY);
        ASSERT_TRUE(PointerInputEventManager::nextEvent());
        EXPECT_EQ(PointerInputEventManager::getX(), c.touchX - c.offsetX);
        EXPECT_EQ(PointerInputEventManager::getY(), c.touchY - c.offsetY);
        PointerInputEventManager::setEnabled(false);
    }
}

TEST_F(MainTest, TheOffsetIsRecomputedOnlyOnTheFirstFrameAndAfterEachResume) {
    start(480, 800);
    VMPtr<Image> image = Image::createImage(480, 800);
    auto paintOverWhite = [&] {
        VMPtr<Graphics> g = image->getGraphics();
        g->setColor(0xFFFFFF);
        g->fillRect(0, 0, 480, 800);
        controller->paint(g);
        return pictureOf(image);
    };
    EXPECT_EQ(paintOverWhite().at(5, 5), 0xFF000000u);     // margin
    EXPECT_EQ(paintOverWhite().at(5, 5), 0xFFFFFFFFu);     // not painted again
    EXPECT_EQ(paintOverWhite().at(5, 85), 0xFFFF0000u);    // the game area where it was
    canvas->onEvent(ts::TsCanvas::EVENT_RESUME);           // as the canvas thread delivers it
    EXPECT_EQ(paintOverWhite().at(5, 795), 0xFF000000u);
    EXPECT_EQ(paintOverWhite().at(5, 795), 0xFFFFFFFFu);
}

TEST_F(MainTest, TheFirstTickInitialisesAndAPausedControllerPaintsWithoutTicking) {
    VMPtr<RecordingSceneManager> sm = start(480, 640);
    VMPtr<Graphics> g = Image::createImage(480, 640)->getGraphics();
    controller->tick();
    controller->tick();
    controller->paint(g);
    controller->pause();
    controller->tick();
    controller->paint(g);
    controller->resume();
    controller->afterResume();
    controller->tick();
    EXPECT_EQ(sm->summary(), "init, update, pause, resume, afterResume, update");
    EXPECT_EQ(sm->paints, 2);
    // Handing over another manager initialises that one on the next tick.
    VMPtr<RecordingSceneManager> next = RecordingSceneManager::create()->construct();
    controller->setSceneManager(next);
    controller->tick();
    EXPECT_EQ(next->summary(), "init");
    // Without a scene manager every call goes nowhere.
    Main::releaseAll();
    Main::releaseAll();
    controller->tick();
    controller->pause();
    controller->resume();
    controller->afterResume();
    EXPECT_EQ(next->summary(), "init, destroy");
}

TEST_F(MainTest, RandomIntsAreNeverNegative) {
    start(480, 640);
    Main::random->setSeed(12345);
    for (int i = 0; i < 1000; ++i) EXPECT_GE(Main::randomInt(), 0);
    // Integer.MIN_VALUE has no positive twin.
    Main::random = maintest::FixedRandom::create()->construct(java::lang::Integer::MIN_VALUE);
    EXPECT_EQ(Main::randomInt(), 0);
    Main::random = maintest::FixedRandom::create()->construct(-7);
    EXPECT_EQ(Main::randomInt(), 7);
}
