// The tiled cell layer: tiles and cells, movable and fixed items, direct
// painting, and the ring buffer's pieces and repairs.
#include <algorithm>
#include <climits>
#include <random>

#include "textcells_test_support.h"
#include "ts_CellLayer.h"

using ts::CellLayer;
using ts::Gob;
using namespace tstest;

namespace {

class CellLayerTest : public ::testing::Test {
protected:
    Booted booted;
    VMPtr<TestCanvas> canvas = stoppedCanvas();  // the buffers' image factory
};

using Rect = std::vector<jint>;

VMPtr<CellLayer> directLayer(jint w, jint h) { return CellLayer::create()->construct(false, false, false, w, h); }

// A square Gob of its own image, reference point at its top-left.
VMPtr<Gob> square(jint size) {
    VMPtr<Gob> g = Gob::create()->construct();
    g->width = g->height = jshort(size);
    g->alphaKind = 1;
    g->image = Image::createImage(size, size);
    return g;
}

std::vector<void*> imagesDrawn(const VMPtr<RecordingGraphics>& g) {
    std::vector<void*> out;
    for (const Drawn& d : g->regions()) out.push_back(d.image);
    return out;
}

// Regions as source rectangle and destination; clips as rectangles.
std::vector<Rect> piecesOf(const VMPtr<RecordingGraphics>& g) {
    std::vector<Rect> out;
    for (const Drawn& d : g->regions()) out.push_back({d.x, d.y, d.w, d.h, d.dx, d.dy});
    return out;
}
std::vector<Rect> clipsOf(const VMPtr<RecordingGraphics>& g) {
    std::vector<Rect> out;
    for (const Drawn& d : g->clips()) out.push_back({d.x, d.y, d.w, d.h});
    return out;
}

VMPtr<RecordingGraphics> recordBuffer(const VMPtr<CellLayer>& layer) {
    VMPtr<RecordingGraphics> g = RecordingGraphics::create()->construct(layer->bufferImage);
    layer->bufferGraphics = g;
    return g;
}

}  // namespace

TEST_F(CellLayerTest, TilesAreWholeRectanglesInReadingOrder) {
    VMPtr<CellLayer> layer = directLayer(64, 64);
    layer->setMap(Image::createImage(64, 32), 4, 4, 16, 16);
    ASSERT_EQ(layer->tileX->length, 8);
    EXPECT_EQ((*layer->tileX)[4], 0);  // tile 5
    EXPECT_EQ((*layer->tileY)[4], 16);
    VMPtr<Gob> sheet = square(1);
    sheet->width = 70;  // parts of tiles are no tiles
    sheet->height = 40;
    sheet->image = Image::createImage(70, 40);
    layer->setStaticTileSet(sheet, 16, 16);
    EXPECT_EQ(layer->tileX->length, 8);
    EXPECT_EQ(VM_THROWN_CLASS(layer->setMap(sheet->image, 2, 2, 0, 16)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(layer->setStaticTileSet(sheet, 16, -1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(CellLayer::createBuffered(0, 10)), "java.lang.IllegalArgumentException");
}

TEST_F(CellLayerTest, CellValuesResolveToTilesAndAreCutAtTheEdges) {
    VMPtr<CellLayer> layer = directLayer(96, 16);
    layer->setMap(ts::Resources::getImage(TILE_SET), 6, 1, 16, 16);
    EXPECT_EQ(layer->createAnimatedTile(6), -1);
    EXPECT_EQ(layer->createAnimatedTile(0x8007), -2);
    EXPECT_EQ(layer->getAnimatedTile(-2), 0x8007);
    // An animated tile, tile 3 with high bits, a tile beyond the set, an
    // animated tile never made, an empty cell, the second animated tile.
    const jint values[6] = {-1, 0x1003, 9, -5, 0, -2};
    for (jint c = 0; c < 6; ++c) layer->setCell(c, 0, values[c]);
    VMPtr<RecordingGraphics> g = recorder(96, 16);
    layer->paint(g);
    EXPECT_EQ(piecesOf(g),
              (std::vector<Rect>{{32, 16, 16, 16, 80, 0}, {32, 0, 16, 16, 16, 0}, {16, 16, 16, 16, 0, 0}}));
    // From px = 5: 5 off the first column, (-(5 + 40)) mod 16 = 3 off the last.
    for (jint c = 0; c < 6; ++c) layer->setCell(c, 0, 1);
    VMPtr<RecordingGraphics> h = recorder(100, 100);
    layer->drawCells(h, 5, 0, 10, 20, 40, 16);
    EXPECT_EQ(piecesOf(h), (std::vector<Rect>{{0, 0, 13, 16, 37, 20}, {0, 0, 16, 16, 21, 20}, {5, 0, 11, 16, 10, 20}}));
}

TEST_F(CellLayerTest, DirectPaintFollowsTheClip) {
    VMPtr<CellLayer> layer = directLayer(480, 640);
    layer->setMap(ts::Resources::getImage(TILE_SET), 200, 50, 16, 16);
    layer->setCell(68, 0, 2);  // world x 1088 to 1103
    layer->setViewPosition(1000, 0);
    VMPtr<RecordingGraphics> g = recorder(480, 640);
    g->setClip(100, 0, 380, 640);
    layer->paint(g);
    // World x from viewX + 100 at screen x 100; the clip is restored.
    EXPECT_EQ(clipsOf(g), (std::vector<Rect>{{100, 0, 380, 640}, {100, 0, 380, 640}, {100, 0, 380, 640}}));
    EXPECT_EQ(piecesOf(g), (std::vector<Rect>{{28, 0, 4, 16, 100, 0}}));
}

TEST_F(CellLayerTest, MovableItemHandlesAndRemoval) {
    VMPtr<CellLayer> layer = directLayer(100, 100);
    layer->initItems(3);
    VMPtr<Gob> a = square(4), b = square(4), c = square(4);
    EXPECT_EQ(layer->addItem(a, 5, 6, 1), 0);
    EXPECT_EQ(layer->addItem(b, 5, 6, 2), 1);
    EXPECT_EQ(layer->addItem(c, 7, 6, 0), 2);
    EXPECT_EQ(VM_THROWN_CLASS(layer->addItem(a, 0, 0, 0)), "java.lang.IllegalStateException");
    layer->removeItem(1);
    EXPECT_EQ(layer->addItem(b, 30, 0, 0), 1);  // reused, drawn last
    VMPtr<RecordingGraphics> g = recorder(100, 100);
    layer->paint(g);
    EXPECT_EQ(imagesDrawn(g), (std::vector<void*>{a->image.get(), c->image.get(), b->image.get()}));
    const jint any = INT_MIN;
    EXPECT_FALSE(layer->removeMatchingItem(a, 5, 6, 2));
    EXPECT_TRUE(layer->removeMatchingItem(nullptr, any, 6, any));  // the first in drawing order
    EXPECT_TRUE(layer->removeMatchingItem(b, 30, any, 0));
    EXPECT_EQ(layer->items->get(2), c.get());
    // Handles not in use and capacities beyond the handles are refused.
    EXPECT_EQ(VM_THROWN_CLASS(layer->removeItem(1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(layer->moveItem(a, 0, 0, 0, 3)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(layer->initItems(32768)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(layer->initFixedItems(65536, false)), "java.lang.IllegalArgumentException");
}

TEST_F(CellLayerTest, FixedItemsAreFoundByRangeAndDrawnInTheOrderAdded) {
    std::mt19937 random(114);
    for (jboolean byY : {false, true}) {
        VMPtr<CellLayer> layer = directLayer(120, 90);
        layer->initFixedItems(300, byY);
        std::vector<VMPtr<Gob>> gobs;
        for (int i = 0; i < 300; ++i) {
            gobs.push_back(square(jint(1 + random() % 40)));
            gobs.back()->offsetX = jshort(-jint(random() % 8));
            layer->addFixedItem(gobs.back(), jint(random() % 900) - 100, jint(random() % 700) - 100, 0);
        }
        EXPECT_EQ(VM_THROWN_CLASS(layer->addFixedItem(square(2), 0, 0, 0)), "java.lang.IllegalStateException");
        for (int view = 0; view < 20; ++view) {
            const jint vx = jint(random() % 800) - 100, vy = jint(random() % 600) - 100;
            layer->setViewPosition(vx, vy);
            VMPtr<RecordingGraphics> g = recorder(120, 90);
            layer->paint(g);
            std::vector<void*> expected;
            for (jint i = 0; i < 300; ++i) {
                const jint x = (*layer->fixedX)[i], y = (*layer->fixedY)[i], s = gobs[size_t(i)]->width;
                if (x < vx + 120 && y < vy + 90 && vx < x + s && vy < y + s)
                    expected.push_back(gobs[size_t(i)]->image.get());
            }
            EXPECT_EQ(imagesDrawn(g), expected) << "view " << vx << ", " << vy;
        }
    }
}

TEST_F(CellLayerTest, TheBufferReachesTheScreenInUpToFourPieces) {
    VMPtr<CellLayer> layer = CellLayer::createBuffered(480, 640);
    struct Case {
        jint viewX, viewY;
        std::vector<Rect> pieces;
    };
    const Case cases[] = {
        {500, 0, {{20, 0, 460, 640, 0, 0}, {0, 0, 20, 640, 460, 0}}},
        {480, 650, {{0, 10, 480, 630, 0, 0}, {0, 0, 480, 10, 0, 630}}},
        {500,
         700,
         {{20, 60, 460, 580, 0, 0}, {0, 60, 20, 580, 460, 0}, {20, 0, 460, 60, 0, 580}, {0, 0, 20, 60, 460, 580}}},
        {-20, 1280, {{460, 0, 20, 640, 0, 0}, {0, 0, 460, 640, 20, 0}}},  // negative positions wrap too
    };
    for (const Case& c : cases) {
        layer->setViewPosition(c.viewX, c.viewY);
        VMPtr<RecordingGraphics> g = recorder(480, 640);
        layer->paint(g);
        EXPECT_EQ(piecesOf(g), c.pieces) << c.viewX << ", " << c.viewY;
    }
}

TEST_F(CellLayerTest, ScrollingRedrawsTheUncoveredStripsAndChangesTheirRectangles) {
    VMPtr<CellLayer> layer = CellLayer::createBuffered(480, 640);
    layer->setMap(ts::Resources::getImage(TILE_SET), 100, 100, 16, 16);
    layer->initItems(4);
    VMPtr<Gob> item = square(10);
    const jint visible = layer->addItem(item, 20, 30, 0), hidden = layer->addItem(item, 900, 30, 0);
    VMPtr<Graphics> screen = Image::createImage(480, 640)->getGraphics();
    layer->paint(screen);
    VMPtr<RecordingGraphics> buffer = recordBuffer(layer);
    auto clipsSince = [&](auto&& change) {
        buffer->log.clear();
        change();
        return clipsOf(buffer);
    };
    // Right by 8: the strip (viewX + 472, viewY, 8, 640) lands at buffer x 0.
    EXPECT_EQ(clipsSince([&] { layer->setViewPosition(8, 0), layer->paint(screen); }),
              (std::vector<Rect>{{0, 0, 8, 640}}));
    // A rectangle across the right and bottom edges goes in four pieces.
    EXPECT_EQ(clipsSince([&] { layer->redrawBufferRegion(474, 630, 20, 30); }),
              (std::vector<Rect>{{474, 630, 6, 10}, {474, 0, 6, 20}, {0, 0, 14, 20}, {0, 630, 14, 10}}));
    // A visible item's old rectangle is redrawn at once, a hidden one's not;
    // the paint draws the items from the earliest changed one over the buffer.
    EXPECT_EQ(clipsSince([&] { layer->moveItem(item, 40, 30, 0, visible); }), (std::vector<Rect>{{20, 30, 10, 10}}));
    EXPECT_TRUE(clipsSince([&] { layer->moveItem(item, 910, 30, 0, hidden); }).empty());
    EXPECT_EQ(clipsSince([&] { layer->paint(screen); }), (std::vector<Rect>{{8, 0, 472, 640}, {0, 0, 8, 640}}));
    EXPECT_EQ(piecesOf(buffer), (std::vector<Rect>{{0, 0, 10, 10, 40, 30}}));  // only the moved item
    // A removed item's rectangle is redrawn without it.
    EXPECT_EQ(clipsSince([&] { layer->removeItem(visible); }), (std::vector<Rect>{{40, 30, 10, 10}}));
    const std::vector<void*> drawn = imagesDrawn(buffer);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), item->image.get()), 0);
    // A changed cell redraws the whole view at the next paint.
    jlong area = 0;
    for (const Rect& r : clipsSince([&] { layer->setCell(3, 3, 1), layer->paint(screen); })) area += jlong(r[2]) * r[3];
    EXPECT_EQ(area, 480 * 640);
}
