// Paintables: the eight sprite transforms, rectangle intersection, the two
// forms of the collision test and tiled painting.
#include <algorithm>
#include <climits>

#include "sprites_test_support.h"
#include "ts_Frame.h"

using namespace spritetest;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using ts::Frame;
using ts::Gob;
using ts::Paintable;
using ts::graphics::CollisionBox;

namespace painttest {

// A paintable of a given size and offset that records where it is painted.
class Tile : public ts::Paintable {
    VM_DECLARE_CLASS(Tile, ts::Paintable)

public:
    jint w = 0, h = 0, ox = 0, oy = 0;
    std::vector<std::pair<jint, jint>> cells;
    VMPtr<Tile> construct() { return Super::construct(), this; }
    using Paintable::paint;
    jint getType() override { return 99; }
    jint getHeight(jint) override { return h; }
    jint getWidth(jint) override { return w; }
    jint getOffsetX(jint) override { return ox; }
    jint getOffsetY(jint) override { return oy; }
    void paint(VMPtr<Graphics>, jint x, jint y, jint) override { cells.emplace_back(x, y); }
};

}  // namespace painttest

VM_REGISTER_CLASS(painttest::Tile, .name = "painttest.Tile")

namespace {

class PaintableTest : public VMTest {};

// The rectangle (ox, oy, w, h) under t, from its two corners moved as points.
std::vector<jint> cornersUnder(jint ox, jint oy, jint w, jint h, jint t) {
    auto point = [t](jint x, jint y) {
        if (t & 2) x = -x;
        if (t & 1) y = -y;
        if (t & 4) std::swap(x, y);
        return std::pair<jint, jint>(x, y);
    };
    auto [x1, y1] = point(ox, oy);
    auto [x2, y2] = point(ox + w, oy + h);
    return {std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1)};
}

template <class P>
std::vector<jint> placed(const VMPtr<P>& p, jint t) {
    return {p->getOffsetX(t), p->getOffsetY(t), p->getWidth(t), p->getHeight(t)};
}

}  // namespace

TEST_F(PaintableTest, GobsAndFramesPlaceTheirRectangleUnderEveryTransform) {
    VMPtr<Gob> gob = Gob::create()->construct();
    gob->offsetX = -8, gob->offsetY = -16, gob->width = 16, gob->height = 24;
    VMPtr<Frame> frame = Frame::create()->construct(nullptr, 3, intArray({uint32_t(-10), uint32_t(-30), 20, 30}));
    for (jint t = 0; t < 8; ++t) {
        EXPECT_EQ(placed(gob, t), cornersUnder(-8, -16, 16, 24, t)) << t;
        EXPECT_EQ(placed(frame, t), cornersUnder(-10, -30, 20, 30, t)) << t;
    }
    EXPECT_EQ(placed(gob, 5), (std::vector<jint>{-8, -8, 24, 16}));
    EXPECT_EQ(placed(frame, 6), (std::vector<jint>{-30, -10, 30, 20}));
    EXPECT_EQ(Frame::flipTransform(5, 2), 7);  // a part's flips combine by XOR
    EXPECT_EQ(Frame::flipTransform(4, 7), 7);
    EXPECT_TRUE(Frame::swapsAxes(6));
}

TEST_F(PaintableTest, RectanglesIntersectOnlyWhenTheyOverlapWithPositiveSizes) {
    struct Case {
        jint x1, y1, w1, h1, x2, y2, w2, h2;
        bool hit;
    };
    const Case cases[] = {
        {0, 0, 10, 10, 5, 5, 10, 10, true},
        {0, 0, 10, 10, 10, 0, 5, 5, false},  // a shared edge
        {0, 0, 10, 10, 0, 10, 5, 5, false},
        {0, 0, 10, 10, 9, 9, 1, 1, true},
        {0, 0, 0, 10, 0, 0, 5, 5, false},
        {0, 0, 10, 10, 2, 2, 5, -1, false},                   // no size
        {INT_MAX - 5, 0, 10, 10, INT_MIN, 0, 10, 10, false},  // far apart
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Paintable::intersects(c.x1, c.y1, c.w1, c.h1, c.x2, c.y2, c.w2, c.h2), c.hit) << c.x2;
        EXPECT_EQ(Paintable::intersects(c.x2, c.y2, c.w2, c.h2, c.x1, c.y1, c.w1, c.h1), c.hit) << c.x2;
    }
}

TEST_F(PaintableTest, CollisionTestsUseThePlacedBoxesOfBothSides) {
    VMPtr<Gob> a = Gob::create()->construct();  // box (-5, -5, 10, 10)
    a->offsetX = -5, a->offsetY = -5, a->collisionWidth = 10, a->collisionHeight = 10;
    VMPtr<Gob> b = Gob::create()->construct();  // box (2, 0, 4, 6); mirrored (-6, 0, 4, 6)
    b->collisionX = 2, b->collisionWidth = 4, b->collisionHeight = 6;
    VMPtr<VMInts> result = VMArray<jint, 1>::create(6);
    EXPECT_TRUE(a->collidesWith(100, 100, 0, -1, b, 100, 97, 0, -1, result));
    EXPECT_EQ(values(result), (std::vector<jint>{102, 97, 3, 6, -1, -1}));     // overlap and box ids
    EXPECT_FALSE(a->collidesWith(100, 100, 0, -1, b, 97, 97, 2, -1, result));  // edges touch at 95
    EXPECT_TRUE(a->collidesWith(100, 100, 0, -1, b, 98, 97, 2, -1));
    EXPECT_EQ(CollisionBox::secondHit->x, 92);
    // Without boxes nothing collides, and the object form forgets the last hit.
    EXPECT_FALSE(Gob::create()->construct()->collidesWith(0, 0, 0, -1, a, 0, 0, 0, -1));
    EXPECT_EQ(CollisionBox::firstHit.get(), nullptr);
    // A box hands out no int-form boxes.
    VMPtr<CollisionBox> box = CollisionBox::create()->construct(-20, -20, 40, 40, CollisionBox::RECTANGLE);
    EXPECT_TRUE(a->collidesWith(0, 0, 0, -1, box, 0, 0, 0, -1));
    EXPECT_FALSE(a->collidesWith(0, 0, 0, -1, box, 0, 0, 0, -1, result));
}

TEST_F(PaintableTest, TilesCoverTheClipFromTheLastCellThatReachesIntoIt) {
    VMPtr<Graphics> g = Image::createImage(100, 100)->getGraphics();
    VMPtr<painttest::Tile> tile = painttest::Tile::create()->construct();
    tile->w = 30, tile->h = 25, tile->ox = -5;
    g->setClip(10, 20, 50, 30);     // x 10..59, y 20..49
    tile->paintTiled(g, -100, -3);  // the grid from (-105, -3)
    std::vector<std::pair<jint, jint>> expected;
    for (jint y = -3; y < 50; y += 25)                                    // the row at -3 reaches into the clip
        for (jint x = -15; x < 60; x += 30) expected.emplace_back(x, y);  // -105 + 3 * 30
    EXPECT_EQ(tile->cells, expected);
    // A tile without size never advances: nothing is painted.
    for (auto [w, h] : {std::pair<jint, jint>{0, 10}, {10, 0}, {-4, 10}}) {
        tile->cells.clear();
        tile->w = w, tile->h = h;
        tile->paintTiled(g, 0, 0);
        EXPECT_TRUE(tile->cells.empty()) << w << "x" << h;
    }
}
