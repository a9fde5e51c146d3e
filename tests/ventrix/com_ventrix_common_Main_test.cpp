// Main: the centred game area (golden frames on three canvas sizes), when
// it is recomputed, touches relative to it, and the random numbers.
#include <array>

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

namespace maintest {

// A game canvas of another size, its frame loop stopped.
class SizedCanvas : public CommonCanvas {
    VM_DECLARE_CLASS(SizedCanvas, CommonCanvas)

public:
    jint width = 0, height = 0;
    jint getWidth() override { return width; }
    jint getHeight() override { return height; }
};

// Every int it draws is the same.
class FixedRandom : public ts::util::FastRandom {
    VM_DECLARE_CLASS(FixedRandom, ts::util::FastRandom)

public:
    jint value = 0;
    jint nextInt() override { return value; }
};

}  // namespace maintest

VM_REGISTER_CLASS(maintest::SizedCanvas, .name = "maintest.SizedCanvas")
VM_REGISTER_CLASS(maintest::FixedRandom, .name = "maintest.FixedRandom")

namespace {

class MainTest : public ventrixtest::WindowTest {
protected:
    // Main on a canvas of that size; its scene manager paints the game area
    // dark blue with red and green corners and a white cross.
    void start(jint width, jint height) {
        canvas = maintest::SizedCanvas::create();
        canvas->construct(nullptr);
        canvas->width = width;
        canvas->height = height;
        canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
        controller = Main::create()->construct(canvas);
        VMPtr<ventrixtest::RecordingSceneManager> sm = ventrixtest::RecordingSceneManager::create()->construct();
        sm->painter = [](Graphics* g) {
            for (auto [x, y, w, h, rgb] : {std::array{0, 0, 480, 640, 0x203060},
                                           {0, 0, 40, 40, 0xFF0000},
                                           {440, 600, 40, 40, 0x00FF00},
                                           {236, 0, 8, 640, 0xFFFFFF},
                                           {0, 316, 480, 8, 0xFFFFFF}}) {
                g->setColor(rgb);
                g->fillRect(x, y, w, h);
            }
        };
        controller->setSceneManager(sm);
        image = Image::createImage(width, height);
    }
    // Paints a frame over a white picture.
    Picture paint() {
        VMPtr<Graphics> g = image->getGraphics();
        g->setColor(0xFFFFFF);
        g->fillRect(0, 0, image->getWidth(), image->getHeight());
        controller->paint(g);
        EXPECT_EQ(g->getTranslateX(), 0);
        EXPECT_EQ(g->getTranslateY(), 0);
        Picture p{image->getWidth(), image->getHeight(), {}};
        VMPtr<VMArray<jint, 1>> data = VMArray<jint, 1>::create(p.width * p.height);
        image->getRGB(data, 0, p.width, 0, 0, p.width, p.height);
        p.argb.assign(reinterpret_cast<const uint32_t*>(data->elements()),
                      reinterpret_cast<const uint32_t*>(data->elements()) + data->length);
        return p;
    }

    VMPtr<maintest::SizedCanvas> canvas;
    VMPtr<Main> controller;
    VMPtr<Image> image;
};

}  // namespace

TEST_F(MainTest, TheGameAreaIsCentredWithBlackMarginsAndTouchesFollowIt) {
    struct Case {
        jint width, height, offsetX, offsetY;
        const char* golden;
    };
    for (const Case& c : {Case{480, 640, 0, 0, "main_offset_480x640"}, Case{480, 800, 0, 80, "main_offset_480x800"},
                          Case{240, 320, -120, -160, "main_offset_240x320"}}) {
        SCOPED_TRACE(c.golden);
        start(c.width, c.height);
        EXPECT_TRUE(matchesGolden("ventrix", c.golden, paint()));
        EXPECT_EQ(Main::offsetX, c.offsetX);
        EXPECT_EQ(Main::offsetY, c.offsetY);
        EXPECT_EQ(canvas->screenOffsetY, c.offsetY);
        PointerInputEventManager::setEnabled(true);
        canvas->pointerPressed(10, 100);
        ASSERT_TRUE(PointerInputEventManager::nextEvent());
        EXPECT_EQ(PointerInputEventManager::getX(), 10 - c.offsetX);
        EXPECT_EQ(PointerInputEventManager::getY(), 100 - c.offsetY);
        PointerInputEventManager::setEnabled(false);
    }
}

TEST_F(MainTest, TheMarginsArePaintedOnlyOnTheFirstFrameAndAfterEachResume) {
    start(480, 800);
    EXPECT_EQ(paint().at(5, 5), 0xFF000000u);
    Picture second = paint();
    EXPECT_EQ(second.at(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(second.at(5, 85), 0xFFFF0000u);     // the game area where it was
    canvas->onEvent(ts::TsCanvas::EVENT_RESUME);  // as the canvas thread delivers it
    EXPECT_EQ(paint().at(5, 795), 0xFF000000u);
    EXPECT_EQ(paint().at(5, 795), 0xFFFFFFFFu);
}

TEST_F(MainTest, RandomIntsAreNeverNegative) {
    start(480, 640);
    for (int i = 0; i < 1000; ++i) EXPECT_GE(Main::randomInt(), 0);
    VMPtr<maintest::FixedRandom> fixed = maintest::FixedRandom::create();
    fixed->construct(0);
    Main::random = fixed;
    for (auto [drawn, expected] : {std::pair{java::lang::Integer::MIN_VALUE, 0}, {-7, 7}, {9, 9}}) {
        fixed->value = drawn;
        EXPECT_EQ(Main::randomInt(), expected);
    }
}
