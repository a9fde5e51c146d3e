// Scenes drawn through Graphics into mutable images and compared with the
// golden pictures in tests/j2me/golden/: every primitive, the eight
// transforms, alpha, blending, clipping and text.
#include <climits>

#include "javax_microedition_lcdui_Font.h"
#include "lcdui_test_support.h"

using java::lang::String;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

namespace {

class GraphicsGoldenTest : public VMTest {};

::testing::AssertionResult matches(const VMPtr<Image>& image, const char* name, GoldenTolerance tolerance = {}) {
    return matchesGolden("j2me", name, pictureOf(image), tolerance);
}

// An opaque white mutable image and a Graphics on it.
#define START(w, h)                                \
    VMPtr<Image> image = Image::createImage(w, h); \
    VMPtr<Graphics> g = image->getGraphics()

// A 24 x 16 "F" with a corner mark, on transparent pixels, with a
// half-transparent bottom row: every transform shows as a different picture.
VMPtr<Image> letterF() {
    std::vector<uint32_t> px(24 * 16, 0x00000000u);
    auto set = [&](int x1, int y1, int x2, int y2, uint32_t c) {
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) px[size_t(y * 24 + x)] = c;
    };
    set(2, 1, 5, 14, 0xFFD02020u);     // stem
    set(2, 1, 21, 4, 0xFFD02020u);     // top bar
    set(2, 7, 15, 9, 0xFFD02020u);     // middle bar
    set(18, 10, 21, 13, 0xFF20A020u);  // green mark, lower right
    set(0, 15, 23, 15, 0x802020F0u);   // half-transparent blue bottom row
    return Image::createRGBImage(intArray(px), 24, 16, true);
}

}  // namespace

TEST_F(GraphicsGoldenTest, LinesRectanglesRoundRectanglesAndTriangles) {
    START(160, 120);
    // A star of lines through every octant, from the centre out.
    g->setColor(0x000000);
    for (int k = 0; k < 16; ++k) {
        static const int dx[16] = {25, 23, 18, 10, 0, -10, -18, -23, -25, -23, -18, -10, 0, 10, 18, 23};
        static const int dy[16] = {0, 10, 18, 23, 25, 23, 18, 10, 0, -10, -18, -23, -25, -23, -18, -10};
        g->drawLine(30, 30, 30 + dx[k], 30 + dy[k]);
    }
    g->setStrokeStyle(Graphics::DOTTED);
    g->drawLine(0, 62, 60, 62);
    g->drawLine(0, 66, 60, 70);
    g->setColor(0x2040C0);
    g->drawRect(65, 5, 30, 20);
    g->drawRoundRect(65, 30, 30, 25, 12, 12);
    g->setStrokeStyle(Graphics::SOLID);
    // Outlines cover width + 1 pixels, fills width; zero and negative sizes.
    g->setColor(0xE02020);
    g->drawRect(110, 5, 40, 20);
    g->drawRect(155, 5, 0, 20);  // a vertical line
    g->setColor(0x20A020);
    g->fillRect(110, 30, 40, 20);
    g->fillRect(110, 30, -5, 20);  // nothing
    g->fillRect(110, 52, 40, 0);   // nothing
    g->setColor(0x2040C0);
    g->drawRoundRect(5, 75, 50, 40, 20, 20);
    g->setColor(0xF08000);
    g->fillRoundRect(65, 75, 40, 40, 16, 10);
    g->setColor(0x8020A0);
    g->fillTriangle(115, 70, 155, 80, 125, 115);
    g->fillTriangle(100, 60, 120, 60, 140, 60);  // flat: nothing
    EXPECT_TRUE(matches(image, "shapes"));
}

TEST_F(GraphicsGoldenTest, ArcsAndEllipses) {
    START(160, 120);
    g->setColor(0xE02020);
    g->fillArc(5, 5, 40, 40, 0, 360);
    g->setColor(0x20A020);
    g->fillArc(50, 5, 40, 40, 45, 90);  // the top quarter
    g->setColor(0x2040C0);
    g->fillArc(95, 5, 60, 30, 0, -90);  // clockwise: the lower right quarter
    g->fillArc(95, 40, 60, 10, 0, 0);   // no angle: nothing
    g->setColor(0x000000);
    g->drawArc(5, 60, 40, 40, 0, 360);
    g->drawArc(50, 60, 50, 30, 90, 180);  // the left half
    g->setColor(0x8020A0);
    g->fillArc(55, 95, 40, 20, 200, 720);  // more than a turn: all of it
    g->setStrokeStyle(Graphics::DOTTED);
    g->setColor(0xF08000);
    g->drawArc(105, 60, 45, 45, 0, 270);
    EXPECT_TRUE(matches(image, "arcs"));
}

TEST_F(GraphicsGoldenTest, AlphaThresholdsAndBlendingOverColours) {
    START(160, 96);
    static const jint bands[4] = {0x000000, 0xFFFFFF, 0xE02020, 0x2040C0};
    for (int k = 0; k < 4; ++k) {
        g->setColor(bands[k]);
        g->fillRect(k * 40, 0, 40, 96);
    }
    // Green rows at rising alpha: below 8 nothing, from 248 opaque.
    static const jint alphas[8] = {4, 7, 8, 64, 128, 200, 247, 248};
    for (int k = 0; k < 8; ++k) {
        g->setAlphaColor(alphas[k], 0x20, 0xE0, 0x20);
        g->fillRect(0, k * 12, 160, 12);
    }
    // The separate alpha applies to every primitive: a half-transparent
    // circle, triangle and line over all four bands.
    g->setColor(0xFFFF00);
    g->setAlpha(128);
    g->fillArc(10, 20, 56, 56, 0, 360);
    g->fillTriangle(80, 10, 150, 50, 90, 90);
    g->drawLine(0, 90, 159, 40);
    EXPECT_TRUE(matches(image, "alpha"));
}

TEST_F(GraphicsGoldenTest, TransparentImagesAndBlendingModeOne) {
    VMPtr<Image> image = Image::createImage(120, 80, true, 0x00000000);
    VMPtr<Graphics> g = image->getGraphics();
    g->setAlphaColor(0x80E02020);
    g->fillRect(10, 10, 60, 40);
    g->setAlphaColor(0x802040C0);
    g->fillArc(40, 20, 60, 50, 0, 360);
    g->setAlphaColor(0xFF20A020);
    g->fillRect(80, 5, 30, 15);
    // Mode 1 replaces colour and alpha: a clear hole and a half-transparent
    // patch cut into what is there.
    g->setBlendingMode(1);
    g->setAlphaColor(0x00000000);
    g->fillRect(20, 20, 20, 20);
    g->setAlphaColor(0x40FFFF00);
    g->fillRect(60, 45, 30, 20);
    g->setBlendingMode(0);
    EXPECT_TRUE(matches(image, "alpha_transparent"));

    // The same image drawn onto an opaque one, at full and at half alpha.
    VMPtr<Image> transparent = image;
    image = Image::createImage(240, 80);
    g = image->getGraphics();
    g->setColor(0x606060);
    g->fillRect(0, 40, 240, 40);
    g->drawImage(transparent, 0, 0, Graphics::TOP | Graphics::LEFT);
    g->setAlpha(128);
    g->drawImage(transparent, 120, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_TRUE(matches(image, "alpha_composed"));
}

TEST_F(GraphicsGoldenTest, ClipTranslationAndFarCoordinates) {
    START(160, 120);
    g->translate(20, 10);
    g->setClip(0, 0, 100, 80);
    g->setColor(0xD0D0D0);
    g->fillRect(-1000, -1000, 5000, 5000);  // fills the clip only
    g->clipRect(10, 10, 200, 50);           // never grows: 10..100 x 10..60
    g->setColor(0x2040C0);
    g->fillArc(-20, -20, 80, 80, 0, 360);
    g->setColor(0x000000);
    g->drawLine(INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2);  // the diagonal, clipped
    g->drawLine(-50, 40, 1000000, 41);
    g->setColor(0xE02020);
    g->fillTriangle(70, 20, 2000000000, 30, 70, -2000000000);
    g->setColor(0x20A020);
    g->drawRect(INT_MIN, 30, INT_MAX, 1);
    // A clip beyond the surface's edges keeps to the surface.
    g->translate(-20, -10);
    g->setClip(150, -10, 100, 140);
    g->setColor(0xF08000);
    g->fillRect(0, 0, 160, 120);
    g->setClip(0, 0, 0, 0);
    g->fillRect(0, 0, 160, 120);  // empty clip: nothing
    EXPECT_TRUE(matches(image, "clip"));
}

TEST_F(GraphicsGoldenTest, RegionsUnderTheEightTransforms) {
    VMPtr<Image> f = letterF();
    START(160, 120);
    for (int t = 0; t < 8; ++t) {
        int cx = (t % 4) * 40, cy = (t / 4) * 40;
        g->setColor((t % 2) == ((t / 4) % 2) ? 0xE8E8E8 : 0xC8C8C8);
        g->fillRect(cx, cy, 40, 40);
        g->drawRegion(f, 0, 0, 24, 16, t, cx + 20, cy + 20, Graphics::HCENTER | Graphics::VCENTER);
    }
    // A part of the source, rotated, placed by its right and bottom edges;
    // and images cut out under a transform.
    g->drawRegion(f, 0, 0, 12, 10, 5, 40, 118, Graphics::RIGHT | Graphics::BOTTOM);
    VMPtr<Image> cut = Image::createImage(f, 0, 0, 24, 16, 6);
    EXPECT_EQ(cut->getWidth(), 16);
    EXPECT_EQ(cut->getHeight(), 24);
    g->drawImage(cut, 50, 90, Graphics::LEFT | Graphics::TOP);
    VMPtr<Image> mirrored = Image::createImage(f, 2, 1, 20, 9, 2);
    g->drawImage(mirrored, 80, 100, Graphics::LEFT | Graphics::TOP);
    g->setAlpha(96);
    g->drawRegion(f, 0, 0, 24, 16, 3, 120, 90, Graphics::LEFT | Graphics::TOP);
    EXPECT_TRUE(matches(image, "transforms"));
}

TEST_F(GraphicsGoldenTest, RGBDataGradientsAndCopyArea) {
    START(160, 120);
    // Gradients: horizontal, vertical, and at half alpha over black and white.
    g->fillGradientRect(0, 0, 80, 30, 0xE02020, 0x2040C0, true);
    g->fillGradientRect(80, 0, 80, 30, 0xFFFFFF, 0x000000, false);
    g->setColor(0x000000);
    g->fillRect(0, 30, 80, 20);
    g->setAlpha(128);
    g->fillGradientRect(0, 30, 160, 20, 0x20E020, 0xF08000, true);
    g->setAlpha(255);
    // ARGB values: with and without their alpha, and rows read backwards
    // through a negative scanlength.
    std::vector<uint32_t> px(20 * 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            px[size_t(y * 20 + x)] = uint32_t(x * 12) << 24 | 0xC02080u | uint32_t(y * 12) << 8;
    VMPtr<VMArray<jint, 1>> data = intArray(px);
    g->drawRGB(data, 0, 20, 5, 55, 20, 20, true);
    g->drawRGB(data, 0, 20, 30, 55, 20, 20, false);
    g->drawRGB(data, 19 * 20, -20, 55, 55, 20, 20, true);
    // Stripes crossed by a band, copied onto themselves down and to the
    // right: the copy must show the pattern as it was before it began.
    for (int k = 0; k < 8; ++k) {
        g->setColor(k % 2 ? 0x2040C0 : 0xF0C000);
        g->fillRect(90 + k * 5, 55, 5, 30);
    }
    g->setColor(0xE02020);
    g->fillRect(90, 60, 40, 4);
    g->copyArea(90, 55, 40, 30, 97, 64, Graphics::TOP | Graphics::LEFT);
    g->copyArea(0, 0, 40, 20, 0, 100, Graphics::TOP | Graphics::LEFT);
    EXPECT_TRUE(matches(image, "rgb_gradient_copy"));
}

TEST_F(GraphicsGoldenTest, TextInEveryFaceStyleAndSizeWithAnchors) {
    START(260, 300);
    int y = 2;
    struct Face {
        jint face, style, size;
    };
    static const Face faces[] = {{0, 0, 8},  {0, 0, 0}, {0, 0, 16}, {64, 1, 0},
                                 {64, 2, 0}, {0, 4, 0}, {32, 0, 0}, {32, 3, 8}};
    for (const Face& f : faces) {
        VMPtr<Font> font = Font::getFont(f.face, f.style, f.size);
        g->setFont(font);
        g->drawString(VM_STR("Vessilo Ag 123"), 2, y, Graphics::TOP | Graphics::LEFT);
        y += font->getHeight();
    }
    // Anchors against cross hairs: right and bottom, centre and baseline,
    // left and top (half transparent).
    g->setFont(Font::getFont(0, 0, 0));
    struct Anchored {
        jint x, y, anchor;
        const char* text;
        uint32_t color;
    };
    static const Anchored anchored[] = {{110, 250, Graphics::RIGHT | Graphics::BOTTOM, "end", 0xFF000000},
                                        {60, 285, Graphics::HCENTER | Graphics::BASELINE, "mid", 0xFF2040C0},
                                        {150, 255, Graphics::LEFT | Graphics::TOP, "\u00e9t\u00e9", 0x8020A020}};
    for (const Anchored& a : anchored) {
        g->setColor(0xE02020);
        g->drawLine(a.x - 40, a.y, a.x + 40, a.y);
        g->drawLine(a.x, a.y - 30, a.x, a.y + 30);
        g->setAlphaColor(jint(a.color));
        g->drawString(String::_VM_fromUTF8(a.text), a.x, a.y, a.anchor);
    }
    EXPECT_TRUE(matches(image, "text", GoldenTolerance{64, 0.01}));
}
