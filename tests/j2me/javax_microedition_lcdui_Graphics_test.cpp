// Graphics: the drawing state kept on the class-library side (clip,
// translation, colours, alpha, stroke, blending) and the checks made before
// anything is drawn.
#include <climits>

#include "hal_screen.h"
#include "lcdui_test_support.h"

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

namespace {

class GraphicsTest : public VMTest {};

struct Clip {
    jint x, y, w, h;
};
bool operator==(const Clip& a, const Clip& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }
std::ostream& operator<<(std::ostream& out, const Clip& c) {
    return out << c.x << "," << c.y << " " << c.w << "x" << c.h;
}
Clip clipOf(const VMPtr<Graphics>& g) { return {g->getClipX(), g->getClipY(), g->getClipWidth(), g->getClipHeight()}; }

}  // namespace

TEST_F(GraphicsTest, SetClipSaturatesAtTheSurfaceAndEmptiesOnBadSizes) {
    VMPtr<Graphics> g = Image::createImage(100, 100)->getGraphics();
    struct Case {
        Clip set, expected;
    };
    const Case cases[] = {{{-5, -5, 20, 20}, {0, 0, 15, 15}},
                          {{90, 90, 50, 50}, {90, 90, 10, 10}},
                          {{10, 10, INT_MAX, INT_MAX}, {10, 10, 90, 90}},
                          {{100, 0, 5, 5}, {0, 0, 0, 0}},
                          {{0, 0, 0, 10}, {0, 0, 0, 0}},
                          {{0, 0, 10, -1}, {0, 0, 0, 0}},
                          {{INT_MIN, INT_MIN, 50, 50}, {0, 0, 0, 0}},
                          {{-200, 5, 100, 10}, {0, 5, 0, 10}}};
    for (const Case& c : cases) {
        g->setClip(c.set.x, c.set.y, c.set.w, c.set.h);
        EXPECT_EQ(clipOf(g), c.expected) << "setClip " << c.set;
    }
    // The clip stays put on the surface when the origin moves.
    g->setClip(0, 0, 50, 50);
    g->translate(10, 20);
    EXPECT_EQ(clipOf(g), (Clip{-10, -20, 50, 50}));
    // A translation that overflows the sum puts the clip past the surface.
    g->translate(INT_MAX, 0);
    g->setClip(10, 0, 10, 10);
    EXPECT_EQ(g->getClipWidth(), 0);
}

TEST_F(GraphicsTest, ClipRectNeverGrowsTheClipAndADisjointOneEmptiesIt) {
    VMPtr<Graphics> g = Image::createImage(100, 100)->getGraphics();
    g->setClip(10, 10, 50, 50);
    g->clipRect(0, 0, 200, 30);
    EXPECT_EQ(clipOf(g), (Clip{10, 10, 50, 20}));
    g->clipRect(20, 15, 5, 100);
    EXPECT_EQ(clipOf(g), (Clip{20, 15, 5, 15}));
    g->clipRect(70, 70, 10, 10);
    EXPECT_EQ(clipOf(g), (Clip{0, 0, 0, 0}));
    g->setClip(0, 0, 100, 100);
    g->clipRect(5, 5, 0, 5);
    EXPECT_EQ(clipOf(g), (Clip{0, 0, 0, 0}));
}

TEST_F(GraphicsTest, ColoursGrayAlphaAndStrokeKeepTheirRules) {
    VMPtr<Graphics> g = Image::createImage(4, 4)->getGraphics();
    g->setColor(0x12345678);
    EXPECT_EQ(g->getColor(), 0x345678);
    EXPECT_EQ(g->getAlpha(), 255);
    EXPECT_EQ(g->getRedComponent(), 0x34);
    struct Gray {
        jint rgb, gray;
    };
    for (Gray c : {Gray{0xFF0000, 75}, {0x00FF00, 149}, {0x0000FF, 28}, {0xFFFFFF, 254}}) {
        g->setColor(c.rgb);
        EXPECT_EQ(g->getGrayScale(), c.gray) << std::hex << c.rgb;
    }
    g->setGrayScale(17);
    EXPECT_EQ(g->getColor(), 0x111111);
    g->setAlphaColor(jint(0x80FF0000u));
    EXPECT_EQ(g->getAlpha(), 128);
    EXPECT_EQ(g->getColor(), 0xFF0000);
    EXPECT_EQ(uint32_t(g->getAlphaColor()), 0x80FF0000u);
    g->setColor(1, 2, 3);
    EXPECT_EQ(uint32_t(g->getAlphaColor()), 0x80010203u);
    EXPECT_EQ(g->getDisplayColor(0x123456), 0x103452);
    for (auto bad : std::initializer_list<std::function<void()>>{
             [&] { g->setColor(-1, 0, 0); }, [&] { g->setColor(0, 256, 0); }, [&] { g->setGrayScale(256); },
             [&] { g->setGrayScale(-1); }, [&] { g->setAlpha(256); }, [&] { g->setAlphaColor(256, 0, 0, 0); },
             [&] { g->setStrokeStyle(2); }}) {
        EXPECT_EQ(VM_THROWN_CLASS(bad()), "java.lang.IllegalArgumentException");
    }
    g->setStrokeStyle(Graphics::DOTTED);
    EXPECT_EQ(g->getStrokeStyle(), Graphics::DOTTED);
    g->setFont(nullptr);
    EXPECT_EQ(g->getFont().get(), javax::microedition::lcdui::Font::getDefaultFont().get());
}

TEST_F(GraphicsTest, AnchorsAreCheckedAndPlaceTheTransformedBox) {
    struct Valid {
        jint anchor, illegal;
        bool valid;
    };
    const Valid valid[] = {{0, 64, true},       {20, 64, true},    {1 | 2, 64, true}, {8 | 32, 64, true},
                           {4 | 64, 64, false}, {4 | 64, 2, true}, {4 | 2, 2, false}, {4 | 8 | 16, 0, false},
                           {16, 0, false},      {128, 0, false},   {-1, 0, false}};
    for (const Valid& v : valid) {
        EXPECT_EQ(Graphics::isValidAnchor(v.anchor, v.illegal), v.valid) << v.anchor << " without " << v.illegal;
    }
    jint x = 20, y = 20;
    ASSERT_TRUE(Graphics::applyAnchor(x, y, 10, 7, Graphics::HCENTER | Graphics::VCENTER, 0));
    EXPECT_EQ(x, 15);
    EXPECT_EQ(y, 17);
    x = 100, y = 100;
    ASSERT_TRUE(Graphics::applyAnchor(x, y, 10, 20, Graphics::RIGHT | Graphics::BOTTOM, 5));
    EXPECT_EQ(x, 80);
    EXPECT_EQ(y, 90);
    EXPECT_FALSE(Graphics::applyAnchor(x, y, 1, 1, Graphics::LEFT | Graphics::BASELINE, 0));
}

TEST_F(GraphicsTest, DrawingOperationsRefuseBadArgumentsBeforeDrawing) {
    VMPtr<Image> target = Image::createImage(100, 100);
    VMPtr<Graphics> g = target->getGraphics();
    VMPtr<Image> other = Image::createImage(10, 20);
    VMPtr<VMArray<jint, 1>> rgb = VMArray<jint, 1>::create(10);
    VMPtr<VMArray<jchar, 1>> chars = VMArray<jchar, 1>::create(3);
    VMPtr<java::lang::String> s = VM_STR("abc");
    HAL_ScreenBuffer* buffer = hal::createScreenBuffer(8, 8);
    VMPtr<Graphics> screen = Graphics::forScreenBuffer(buffer);
    g->setColor(0xFF0000);
    g->fillRect(20, 0, 10, 10);
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* thrown;
    };
    const Case cases[] = {
        {"drawString VCENTER", [&] { g->drawString(s, 0, 0, Graphics::VCENTER | Graphics::LEFT); },
         "java.lang.IllegalArgumentException"},
        {"drawString null", [&] { g->drawString(nullptr, 0, 0, 0); }, "java.lang.NullPointerException"},
        {"drawSubstring VCENTER", [&] { g->drawSubstring(s, 0, 3, 0, 0, Graphics::VCENTER); }, ""},
        {"drawSubstring past the end", [&] { g->drawSubstring(s, 2, 2, 0, 0, 0); },
         "java.lang.StringIndexOutOfBoundsException"},
        {"drawChars past the end", [&] { g->drawChars(chars, 1, INT_MAX, 0, 0, 0); },
         "java.lang.ArrayIndexOutOfBoundsException"},
        {"drawImage BASELINE", [&] { g->drawImage(other, 0, 0, Graphics::BASELINE | Graphics::LEFT); },
         "java.lang.IllegalArgumentException"},
        {"drawRegion transform 8", [&] { g->drawRegion(other, 0, 0, 10, 10, 8, 0, 0, 20); },
         "java.lang.IllegalArgumentException"},
        {"drawRegion transform 0x100", [&] { g->drawRegion(other, 0, 0, 10, 10, 0x100, 0, 0, 20); }, ""},
        {"drawRegion of the target", [&] { g->drawRegion(target, 0, 0, 10, 10, 0, 0, 0, 20); },
         "java.lang.IllegalArgumentException"},
        {"drawRegion width overflowing", [&] { g->drawRegion(other, 1, 0, INT_MAX, 1, 0, 0, 0, 20); },
         "java.lang.IllegalArgumentException"},
        {"copyArea on a screen buffer", [&] { screen->copyArea(0, 0, 1, 1, 0, 0, 20); },
         "java.lang.IllegalStateException"},
        {"copyArea width overflowing", [&] { g->copyArea(10, 0, INT_MAX, 1, 0, 0, 20); },
         "java.lang.IllegalArgumentException"},
        {"copyArea RIGHT|BOTTOM", [&] { g->copyArea(20, 0, 10, 10, 50, 50, Graphics::RIGHT | Graphics::BOTTOM); }, ""},
        {"drawRGB width 0 at the end", [&] { g->drawRGB(rgb, 10, 10, 0, 0, 0, 1, false); },
         "java.lang.ArrayIndexOutOfBoundsException"},
        {"drawRGB width 0 inside", [&] { g->drawRGB(rgb, 9, 10, 0, 0, 0, 1, false); }, ""},
        {"drawRGB rows wrapping", [&] { g->drawRGB(rgb, 0, 65536, 0, 0, 1, 65537, false); },
         "java.lang.ArrayIndexOutOfBoundsException"},
        {"drawRGB backwards from 0", [&] { g->drawRGB(rgb, 0, -1, 0, 0, 1, 2, false); },
         "java.lang.ArrayIndexOutOfBoundsException"},
        {"drawRGB null", [&] { g->drawRGB(nullptr, 0, 1, 0, 0, 1, 1, false); }, "java.lang.NullPointerException"},
        {"blending 1 on an opaque image", [&] { g->setBlendingMode(1); }, "java.lang.IllegalArgumentException"},
        {"blending 1 on a screen buffer", [&] { screen->setBlendingMode(1); }, "java.lang.IllegalArgumentException"},
        {"blending 2", [&] { g->setBlendingMode(2); }, "java.lang.IllegalArgumentException"},
        {"blending 1 with alpha", [&] { Image::createImage(2, 2, true, 0)->getGraphics()->setBlendingMode(1); }, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(VM_THROWN_CLASS(c.call()), c.thrown) << c.what;
    // The copy with RIGHT|BOTTOM went to (40, 40): the anchor is the region's.
    Picture p = pictureOf(target);
    EXPECT_EQ(p.at(40, 40), 0xFFFF0000u);
    EXPECT_EQ(p.at(49, 49), 0xFFFF0000u);
    EXPECT_EQ(p.at(50, 50), 0xFFFFFFFFu);
    screen->releaseNative();
    HAL_deleteScreenBuffer(buffer);
}

TEST_F(GraphicsTest, AfterTheNativeContextIsReleasedOnlyCopyAreaComplains) {
    VMPtr<Graphics> g = Image::createImage(10, 10)->getGraphics();
    g->releaseNative();
    g->fillRect(0, 0, 5, 5);
    g->drawString(VM_STR("x"), 0, 0, 0);
    EXPECT_EQ(g->getDisplayColor(0xFFFFFF), -1);
    EXPECT_EQ(VM_THROWN_CLASS(g->copyArea(0, 0, 1, 1, 2, 2, 20)), "java.lang.IllegalArgumentException");
}
