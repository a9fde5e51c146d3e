// Sprites drawn into images and compared with the golden pictures in
// tests/ts/golden/, with marker pixels checked against the transform rule.
#include "sprites_test_support.h"
#include "ts_GobAlphaImage.h"
#include "ts_graphics_RGBFilter.h"

using namespace spritetest;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using ts::AnimSet;
using ts::Gob;
using ts::graphics::CollisionBox;

namespace spritegolden {

// Inverts the colour and makes the pixel opaque; remembers what it saw.
class InvertFilter : public ts::graphics::RGBFilter {
    VM_DECLARE_CLASS(InvertFilter, ts::graphics::RGBFilter)

public:
    std::vector<jint> seen;
    VMPtr<InvertFilter> construct() {
        Super::construct();
        return this;
    }
    jint filterRGB(jint argb) override {
        seen.push_back(argb);
        return jint(0xFF000000u | (~uint32_t(argb) & 0xFFFFFFu));
    }
};

}  // namespace spritegolden

VM_REGISTER_CLASS(spritegolden::InvertFilter, .name = "spritegolden.InvertFilter")

namespace {

class SpritesGoldenTest : public VMTest {};

::testing::AssertionResult matches(const VMPtr<Image>& image, const char* name) {
    return matchesGolden("ts", name, pictureOf(image));
}

// A colour as an image keeps it (fewer bits a channel).
uint32_t kept(uint32_t argb) { return pictureOf(Image::createRGBImage(intArray({argb}), 1, 1, false)).at(0, 0); }

// An opaque grey checkerboard of 4-pixel squares.
VMPtr<Image> checkered(jint w, jint h) {
    VMPtr<Image> image = Image::createImage(w, h);
    VMPtr<Graphics> g = image->getGraphics();
    for (jint y = 0; y < h; y += 4)
        for (jint x = 0; x < w; x += 4) {
            g->setColor(((x + y) / 4) % 2 ? 0xA0A0A0 : 0xE0E0E0);
            g->fillRect(x, y, 4, 4);
        }
    return image;
}

// The blend of a colour over another at an alpha, as the renderer does it
// on 5-6-5 pixels, widened back to 8 bits a channel.
uint32_t blended(uint32_t over, uint32_t under, uint32_t alpha) {
    const uint32_t w = alpha + (alpha >> 7), iw = 256 - w;
    auto mix = [&](int shift, int bits) {
        const uint32_t s = ((over >> shift) & 0xFF) >> (8 - bits), d = ((under >> shift) & 0xFF) >> (8 - bits);
        const uint32_t v = (s * w + d * iw) >> 8;
        return ((v << (8 - bits)) | (v >> (2 * bits - 8))) << shift;
    };
    return 0xFF000000u | mix(16, 5) | mix(8, 6) | mix(0, 5);
}

}  // namespace

TEST_F(SpritesGoldenTest, AGobUnderEveryTransformAndAlphaKind) {
    VMPtr<Image> image = checkered(8 * 24, 3 * 24);
    VMPtr<Graphics> g = image->getGraphics();
    for (int kind = 1; kind <= 3; ++kind) {
        VMPtr<Gob> gob = letterGob(kind, -4, -6);
        ASSERT_EQ(gob->alphaKind, kind);
        for (jint t = 0; t < 8; ++t) gob->paint(g, t * 24 + 12, (kind - 1) * 24 + 12, t);
    }
    EXPECT_TRUE(matches(image, "gob_transforms"));
    const Picture p = pictureOf(image);
    for (int kind = 1; kind <= 3; ++kind) {
        for (jint t = 0; t < 8; ++t) {
            const int x = t * 24 + 12, y = (kind - 1) * 24 + 12;
            auto [mx, my] = landing(x, y, -4, -6, kMarkX, kMarkY, t);
            EXPECT_EQ(p.at(mx, my), kept(kMark)) << "kind " << kind << " transform " << t;
            auto [ix, iy] = landing(x, y, -4, -6, 1, 1, t);
            EXPECT_EQ(p.at(ix, iy), kept(0xFFD02020u)) << "kind " << kind << " transform " << t;
        }
    }
}

TEST_F(SpritesGoldenTest, AFrameWithFlippedPartsAndItsCopyWithOtherImages) {
    // The four flips of one letter, each moved into a quarter of its own.
    const std::vector<PartSpec> parts = {{0, 0, 0, 0}, {0, 14, 20, 1}, {0, 16, 18, 2}, {0, 2, 2, 3}};
    VMPtr<AnimSet> set = setOf(animSetBytes({{parts, {}}}, {}));
    VMPtr<Gobs> red = Gobs::create(1), green = Gobs::create(1);
    red->set(0, letterGob(2, -14, -18));
    green->set(0, letterGob(3, -14, -18, 0xFF10A040u));
    set->setGobs(red);
    VMPtr<AnimSet> copy = set->copyWithGobs(green);
    VMPtr<Image> image = checkered(4 * 40, 2 * 40);
    VMPtr<Graphics> g = image->getGraphics();
    for (jint t : {0, 5}) {
        const jint y = t == 0 ? 20 : 60;
        set->getFrame(0)->paint(g, 20, y, t);
        copy->getFrame(0)->paint(g, 100, y, t);
    }
    EXPECT_TRUE(matches(image, "frame_parts"));
    // The gob's offset is given back after every part.
    EXPECT_EQ(red->get(0)->offsetX, -14);
    const Picture p = pictureOf(image);
    for (jint t : {0, 5}) {
        for (const PartSpec& part : parts) {
            const jint u = t ^ part.flip, y = t == 0 ? 20 : 60;
            auto [x1, y1] = landing(20, y, -14 + part.dx, -18 + part.dy, kMarkX, kMarkY, u);
            auto [x2, y2] = landing(100, y, -14 + part.dx, -18 + part.dy, kMarkX, kMarkY, u);
            EXPECT_EQ(p.at(x1, y1), kept(kMark)) << t << " " << part.flip;
            EXPECT_EQ(p.at(x2, y2), kept(kMark)) << t << " " << part.flip;
        }
    }
}

TEST_F(SpritesGoldenTest, CollisionBoxesDrawThemselves) {
    VMPtr<Image> image = Image::createImage(100, 30);
    VMPtr<Graphics> g = image->getGraphics();
    g->setColor(0x000080);
    const bool filled[4] = {false, true, false, true};
    for (int i = 0; i < 4; ++i) {
        VMPtr<CollisionBox> box = CollisionBox::create()->construct(0, 5, 20, 20, i < 2 ? 3 : 4);
        box->filled = filled[i];
        box->useColour = i % 2 == 1;
        box->colour = jint(0xFFE04000u);
        box->paint(g, 4 + 24 * i, 0, 0);
        EXPECT_EQ(box->x, 0);  // moved for the drawing only
    }
    EXPECT_EQ(uint32_t(g->getAlphaColor()), 0xFF000080u);  // the colour is given back
    EXPECT_TRUE(matches(image, "collision_boxes"));
    const Picture p = pictureOf(image);
    EXPECT_EQ(p.at(23, 24), kept(0xFF000080u));  // an outline covers the width
    EXPECT_EQ(p.at(24, 24), 0xFFFFFFFFu);
    EXPECT_EQ(p.at(28 + 19, 24), kept(0xFFE04000u));  // a fill covers the width
    EXPECT_EQ(p.at(52 + 10, 14), 0xFFFFFFFFu);        // an outlined circle is hollow
    EXPECT_EQ(p.at(76 + 10, 14), kept(0xFFE04000u));
}

TEST_F(SpritesGoldenTest, AnAlphaImageBlendsItsPixelsAtItsAlpha) {
    VMPtr<Image> image = Image::createImage(40, 20);
    VMPtr<Graphics> g = image->getGraphics();
    g->setColor(0x1464C8);
    g->fillRect(0, 0, 40, 20);
    VMPtr<Gob> solid = Gob::createFromRGB(intArray(std::vector<uint32_t>(100, 0xFFC83214u)), 10, 10, false);
    VMPtr<Gob> half = solid->withAlpha(128);
    half->paint(g, 5, 5, 0);
    solid->withAlpha(0)->paint(g, 25, 5, 0);  // invisible
    EXPECT_EQ(g->getAlpha(), 255);
    EXPECT_TRUE(matches(image, "alpha_image"));
    const Picture p = pictureOf(image);
    EXPECT_EQ(p.at(10, 10), blended(kept(0xFFC83214u), kept(0xFF1464C8u), 128));
    EXPECT_EQ(p.at(30, 10), kept(0xFF1464C8u));
    // When the Graphics is already at that alpha it is left there.
    g->setAlpha(128);
    half->paint(g, 25, 5, 0);
    EXPECT_EQ(g->getAlpha(), 128);
}

TEST_F(SpritesGoldenTest, AFilterLeavesTransparentMagentaAlone) {
    std::vector<uint32_t> px(64);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = (i % 8 + i / 8) % 3 == 0 ? 0x00FF00FFu : 0xFF102030u + uint32_t(i) * 0x030201u;
    VMPtr<Gob> gob = Gob::createFromRGB(intArray(px), 8, 8, true);
    VMPtr<Gob> alpha = gob->withAlpha(255);
    EXPECT_EQ(alpha->image.get(), gob->image.get());  // shared until filtered
    VMPtr<spritegolden::InvertFilter> filter = spritegolden::InvertFilter::create()->construct();
    alpha->applyFilter(filter);
    // Visited from the last pixel to the first, skipping the magenta ones,
    // which stay transparent (so the alpha kind stays 2).
    const Picture before = pictureOf(gob->image), after = pictureOf(alpha->image);
    std::vector<jint> visits;
    for (size_t i = px.size(); i-- > 0;) {
        if (before.argb[i] == 0x00FF00FFu) {
            EXPECT_EQ(after.argb[i], 0x00FF00FFu) << i;
        } else {
            visits.push_back(jint(before.argb[i]));
            EXPECT_EQ(after.argb[i], kept(0xFF000000u | ~before.argb[i])) << i;
        }
    }
    EXPECT_EQ(filter->seen, visits);
    EXPECT_EQ(alpha->alphaKind, 2);
    VMPtr<Image> image = checkered(40, 20);
    gob->paint(image->getGraphics(), 4, 6, 0);
    alpha->paint(image->getGraphics(), 24, 6, 0);
    EXPECT_TRUE(matches(image, "filtered_image"));
    // A filter that leaves no pixel translucent makes the image opaque.
    VMPtr<Gob> opaque = letterGob(3, 0, 0)->toAlphaImage();
    opaque->applyFilter(filter);
    EXPECT_EQ(opaque->alphaKind, 1);
}
