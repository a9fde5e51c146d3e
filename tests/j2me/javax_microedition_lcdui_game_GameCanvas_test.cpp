// GameCanvas: drawing into the screen buffer from a thread of its own,
// flushing whole frames to the window, the one Graphics, painting, and the
// latched key states.
#include "ce_window.h"
#include "hal_host.h"
#include "hal_input.h"
#include "hal_screen.h"
#include "hal_surface.h"
#include "hal_window.h"
#include "host_support.h"
#include "java_lang_Thread.h"
#include "javax_microedition_lcdui_Display.h"
#include "javax_microedition_lcdui_game_GameCanvas.h"
#include "lcdui_test_support.h"
#include "vessilo_test_DrawMIDlet.h"

namespace gamecanvastest {

using javax::microedition::lcdui::Graphics;

class DrawCanvas : public javax::microedition::lcdui::game::GameCanvas {
    VM_DECLARE_CLASS(DrawCanvas, javax::microedition::lcdui::game::GameCanvas)

public:
    jint pressed = 0;
    jint lastKey = 0;
    VMPtr<DrawCanvas> construct(jboolean suppress) {
        Super::construct(suppress);
        return this;
    }
    void keyPressed(jint keyCode) override {
        ++pressed;
        lastKey = keyCode;
    }
};

// Draws a frame and flushes it, then starts the next frame (its top half)
// without flushing.
class Painter : public virtual java::lang::Object, public virtual java::lang::Runnable {
    VM_DECLARE_CLASS(Painter, java::lang::Object)

public:
    VMField<DrawCanvas> canvas;
    volatile jint stage = 0;

    VMPtr<Painter> construct(VMPtr<DrawCanvas> c) {
        Super::construct();
        canvas = c;
        return this;
    }
    void run() override {
        VMPtr<Graphics> g = canvas->getGraphics();
        vessilo::test::drawTestScene(g);
        canvas->flushGraphics(0, 0, 1, 1);  // the whole buffer goes, not the region
        stage = 1;
        g = canvas->getGraphics();
        g->setColor(0x0000FF);
        g->fillRect(0, 0, 480, 320);
        stage = 2;
    }
    void markReferences(uint32_t bits) override { _VM_markRef(canvas, bits); }
};

}  // namespace gamecanvastest

VM_REGISTER_CLASS(gamecanvastest::DrawCanvas, .name = "gamecanvastest.DrawCanvas")
VM_REGISTER_CLASS(gamecanvastest::Painter, .name = "gamecanvastest.Painter", .interfaces = {"java.lang.Runnable"})

using gamecanvastest::DrawCanvas;
using gamecanvastest::Painter;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::game::GameCanvas;

namespace {

// The test thread is the main thread of a window that shows the canvas.
class GameCanvasTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        ASSERT_TRUE(HAL_createHostWindow(nullptr, u"GameCanvasTest", ce::DefWindowProcW));
        HAL_recordMainThread();
        HAL_resetInput();
    }
    void TearDown() override { HAL_releaseHostWindow(); }

    TestRuntimeFolder folder;
};

Picture presentedFrame() {
    std::vector<uint16_t> frame = ce::test::LastFrame();
    Picture p{480, 640, {}};
    for (uint16_t c : frame) p.argb.push_back(0xFF000000u | hal::widen565(c));
    return p;
}

}  // namespace

TEST_F(GameCanvasTest, AFrameFlushedFromTheCanvasThreadIsPresentedWholeByTheMainThread) {
    VMPtr<DrawCanvas> canvas = DrawCanvas::create()->construct(false);
    Display::getDisplay(nullptr)->setCurrent(canvas);
    EXPECT_EQ(HAL_getCurrentWindowObject(), canvas->peer);
    EXPECT_EQ(canvas->peer->screenBuffer, canvas->screenBuffer);
    uint64_t presented = ce::test::PresentCount();
    VMPtr<Painter> painter = Painter::create()->construct(canvas);
    java::lang::Thread::create()->construct(painter)->start();
    ASSERT_TRUE(vmWaitFor([&] { return painter->stage == 2; }));
    // The canvas thread only handed the frame over; the window is untouched.
    EXPECT_EQ(ce::test::PresentCount(), presented);
    EXPECT_TRUE(hal::screenBufferPending(canvas->screenBuffer));
    // The message loop's flush presents the finished frame, not the half
    // drawn one that the buffer holds now.
    EXPECT_TRUE(HAL_flushPendingScreenBuffer(canvas->screenBuffer));
    EXPECT_FALSE(HAL_flushPendingScreenBuffer(canvas->screenBuffer));
    EXPECT_EQ(ce::test::PresentCount(), presented + 1);
    EXPECT_TRUE(matchesGolden("j2me", "gamecanvas_frame", presentedFrame()));
    // On the main thread a flush copies the buffer at once.
    canvas->flushGraphics();
    EXPECT_EQ(ce::test::PresentCount(), presented + 2);
    EXPECT_EQ(ce::test::LastFrame()[0], 0x001F);
    EXPECT_FALSE(hal::screenBufferPending(canvas->screenBuffer));
}

TEST_F(GameCanvasTest, OneGraphicsResetOnEveryCallAndPaintDrawsTheBuffer) {
    VMPtr<DrawCanvas> canvas = DrawCanvas::create()->construct(false);
    VMPtr<Graphics> g = canvas->getGraphics();
    EXPECT_EQ(g->getClipWidth(), 480);
    EXPECT_EQ(g->getClipHeight(), 640);
    g->translate(5, 7);
    g->setAlphaColor(jint(0x80123456u));
    g->setClip(0, 0, 3, 3);
    g->setStrokeStyle(Graphics::DOTTED);
    EXPECT_EQ(canvas->getGraphics().get(), g.get());
    EXPECT_EQ(g->getTranslateX(), 0);
    EXPECT_EQ(uint32_t(g->getAlphaColor()), 0xFF000000u);
    EXPECT_EQ(g->getClipWidth(), 480);
    EXPECT_EQ(g->getStrokeStyle(), Graphics::SOLID);
    // What the canvas paints is the buffer, at the target's translation.
    g->setColor(0xFF0000);
    g->fillRect(0, 0, 2, 2);
    VMPtr<Image> image = Image::createImage(4, 4);
    VMPtr<Graphics> target = image->getGraphics();
    target->translate(1, 1);
    canvas->paint(target);
    Picture p = pictureOf(image);
    EXPECT_EQ(p.at(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(p.at(1, 1), 0xFFFF0000u);
    EXPECT_EQ(p.at(2, 2), 0xFFFF0000u);
    EXPECT_EQ(p.at(3, 3), 0xFF000000u);
    EXPECT_TRUE(canvas->isDoubleBuffered());
    EXPECT_FALSE(canvas->hasPointerEvents());
    EXPECT_TRUE(canvas->hasRepeatEvents());
}

TEST_F(GameCanvasTest, KeyStatesLatchUntilReadAndSuppressionDropsGameKeys) {
    VMPtr<DrawCanvas> canvas = DrawCanvas::create()->construct(true);
    Display::getDisplay(nullptr)->setCurrent(canvas);
    EXPECT_EQ(canvas->getKeyStates(), 0);
    HAL_handleInputMessage(ce::WM_KEYDOWN, ce::VK_RETURN, 0);
    HAL_handleInputMessage(ce::WM_KEYUP, ce::VK_RETURN, 0);
    HAL_handleInputMessage(ce::WM_KEYDOWN, ce::VK_LEFT, 0);
    // FIRE was pressed and released before the read: reported once.
    EXPECT_EQ(canvas->getKeyStates(), GameCanvas::FIRE_PRESSED | GameCanvas::LEFT_PRESSED);
    EXPECT_EQ(canvas->getKeyStates(), GameCanvas::LEFT_PRESSED);
    HAL_handleInputMessage(ce::WM_KEYUP, ce::VK_LEFT, 0);
    EXPECT_EQ(canvas->getKeyStates(), GameCanvas::LEFT_PRESSED);
    EXPECT_EQ(canvas->getKeyStates(), 0);
    // The game keys never reached keyPressed; a digit (no game action) did.
    EXPECT_EQ(canvas->pressed, 0);
    HAL_handleInputMessage(ce::WM_KEYDOWN, '5', 0);
    EXPECT_EQ(canvas->pressed, 1);
    EXPECT_EQ(canvas->lastKey, 53);
    HAL_handleInputMessage(ce::WM_KEYUP, '5', 0);
}
