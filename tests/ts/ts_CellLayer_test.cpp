// The tiled cell layer: tiles and cells, movable and fixed items, direct
// painting, and the ring buffer's pieces.
#include <algorithm>
#include <climits>
#include <map>
#include <random>

#include "ts_CellLayer.h"
#include "textcells_test_support.h"

using ts::CellLayer;
using ts::Gob;
using namespace tstest;

namespace {

class CellLayerTest : public ::testing::Test {
protected:
    Booted booted;
    VMPtr<TestCanvas> canvas = stoppedCanvas();  // the buffers' image factory
};

VMPtr<CellLayer> directLayer(jint w, jint h) { return CellLayer::create()->construct(false, false, false, w, h); }

// A square Gob of its own image, reference point at its top-left.
VMPtr<Gob> square(jint size, jint colour = 0xFF20A040) {
    VMPtr<Gob> g = Gob::create()->construct();
    g->width = g->height = jshort(size);
    g->alphaKind = 1;
    g->image = Image::createImage(size, size, true, colour);
    return g;
}

// The image of each drawn region, in drawing order.
std::vector<void*> imagesDrawn(const VMPtr<RecordingGraphics>& g) {
    std::vector<void*> out;
    for (const Drawn& d : g->regions()) out.push_back(d.image);
    return out;
}

using Rect = std::vector<jint>;
std::vector<Rect> clipsOf(const VMPtr<RecordingGraphics>& g) {
    std::vector<Rect> out;
    for (const Drawn& d : g->clips()) out.push_back({d.x, d.y, d.w, d.h});
    return out;
}
std::vector<Rect> piecesOf(const VMPtr<RecordingGraphics>& g) {
    std::vector<Rect> out;
    for (const Drawn& d : g->regions()) out.push_back({d.x, d.y, d.w, d.h, d.dx, d.dy});
    return out;
}

// Puts a recorder over the buffer of a buffered layer.
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
    EXPECT_EQ((*layer->tileX)[7], 48);
    // Parts of tiles at the right and bottom edges are no tiles.
    layer->setMap(Image::createImage(70, 40), 4, 4, 16, 16);
    EXPECT_EQ(layer->tileX->length, 8);
    VMPtr<Gob> sheet = square(1);
    sheet->width = 70;
    sheet->height = 40;
    sheet->image = Image::createImage(70, 40);
    layer->setStaticTileSet(sheet, 16, 16);
    EXPECT_EQ(layer->tileX->length, 8);
    EXPECT_EQ((*layer->tileY)[7], 16);
    EXPECT_EQ(layer->getCellWidth(), 16);
    // Tile sizes below 1 are refused.
    EXPECT_EQ(VM_THROWN_CLASS(layer->setMap(Image::createImage(8, 8), 2, 2, 0, 16)),
              "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(layer->setStaticTileSet(sheet, 16, -1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(CellLayer::createBuffered(0, 10)), "java.lang.IllegalArgumentException");
}

TEST_F(CellLayerTest, CellValuesResolveToTiles) {
    VMPtr<Image> tiles = ts::Resources::getImage(TILE_SET);
    VMPtr<CellLayer> layer = directLayer(96, 16);
    layer->setMap(tiles, 6, 1, 16, 16);
    EXPECT_EQ(layer->createAnimatedTile(6), -1);
    EXPECT_EQ(layer->createAnimatedTile(0x8007), -2);
    EXPECT_EQ(layer->getAnimatedTile(-2), 0x8007);
    // An animated tile, a value with high bits, a tile beyond the set, an
    // animated tile never created, an empty cell, the second animated tile.
    const jint values[6] = {-1, 0x1003, 9, -5, 0, -2};
    for (jint c = 0; c < 6; ++c) layer->setCell(c, 0, values[c]);
    EXPECT_EQ(layer->getCell(1, 0), 0x1003);
    VMPtr<RecordingGraphics> g = recorder(96, 16);
    layer->paint(g);
    // Columns are drawn from the last to the first.
    const std::vector<Rect> expected = {{32, 16, 16, 16, 80, 0}, {32, 0, 16, 16, 16, 0}, {16, 16, 16, 16, 0, 0}};
    EXPECT_EQ(piecesOf(g), expected);
}

TEST_F(CellLayerTest, RectanglesAreCutAtTheirEdges) {
    VMPtr<CellLayer> layer = directLayer(64, 64);
    VMPtr<Image> tiles = ts::Resources::getImage(TILE_SET);
    layer->setMap(tiles, 8, 8, 16, 16);
    for (jint r = 0; r < 8; ++r) {
        for (jint c = 0; c < 8; ++c) layer->setCell(c, r, 1);
    }
    VMPtr<RecordingGraphics> g = recorder(100, 100);
    // Starting at px = 5: 5 off the first column, (-(5 + 40)) mod 16 = 3 off the last.
    layer->drawCells(g, 5, 16, 10, 20, 40, 16);
    const std::vector<Rect> expected = {{0, 0, 13, 16, 37, 20}, {0, 0, 16, 16, 21, 20}, {5, 0, 11, 16, 10, 20}};
    EXPECT_EQ(piecesOf(g), expected);
    // Outside the map nothing is drawn.
    VMPtr<RecordingGraphics> h = recorder(100, 100);
    layer->drawCells(h, -60, 200, 0, 0, 40, 16);
    EXPECT_TRUE(h->regions().empty());
}

TEST_F(CellLayerTest, DirectPaintFollowsTheClip) {
    VMPtr<CellLayer> layer = directLayer(480, 640);
    layer->setMap(ts::Resources::getImage(TILE_SET), 200, 50, 16, 16);
    layer->setCell(68, 0, 2);  // world x 1088 to 1103
    layer->setViewPosition(1000, 0);
    VMPtr<RecordingGraphics> g = recorder(480, 640);
    g->setClip(100, 0, 380, 640);
    layer->paint(g);
    // World x from viewX + 100 at screen x 100.
    ASSERT_GE(g->clips().size(), 2u);
    EXPECT_EQ(clipsOf(g)[1], (Rect{100, 0, 380, 640}));
    const std::vector<Rect> expected = {{16 + 12, 0, 4, 16, 100, 0}};
    EXPECT_EQ(piecesOf(g), expected);
    EXPECT_EQ(clipsOf(g).back(), (Rect{100, 0, 380, 640}));  // restored
}

TEST_F(CellLayerTest, HandlesAreReusedAndNewItemsDrawLast) {
    VMPtr<CellLayer> layer = directLayer(100, 100);
    layer->initItems(3);
    VMPtr<Gob> a = square(4), b = square(4), c = square(4), d = square(4);
    EXPECT_EQ(layer->addItem(a, 0, 0, 0), 0);
    EXPECT_EQ(layer->addItem(b, 10, 0, 0), 1);
    EXPECT_EQ(layer->addItem(c, 20, 0, 0), 2);
    // A full list refuses and stays as it was.
    EXPECT_EQ(VM_THROWN_CLASS(layer->addItem(d, 0, 0, 0)), "java.lang.IllegalStateException");
    layer->removeItem(1);
    EXPECT_EQ(layer->addItem(d, 30, 0, 0), 1);
    VMPtr<RecordingGraphics> g = recorder(100, 100);
    layer->paint(g);
    EXPECT_EQ(imagesDrawn(g), (std::vector<void*>{a->image.get(), c->image.get(), d->image.get()}));
    // Handles not in use are refused.
    EXPECT_EQ(VM_THROWN_CLASS(layer->removeItem(3)), "java.lang.IllegalArgumentException");
    layer->removeItem(2);
    EXPECT_EQ(VM_THROWN_CLASS(layer->removeItem(2)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(layer->moveItem(a, 0, 0, 0, 2)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(layer->initItems(32768)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(layer->initFixedItems(65536, false)), "java.lang.IllegalArgumentException");
}

TEST_F(CellLayerTest, MatchingRemovalTakesTheFirstMatchInDrawingOrder) {
    VMPtr<CellLayer> layer = directLayer(100, 100);
    layer->initItems(4);
    VMPtr<Gob> a = square(4), b = square(4);
    b->offsetX = -2;  // positions are matched without the offsets
    layer->addItem(a, 5, 6, 1);
    layer->addItem(b, 5, 6, 2);
    layer->addItem(a, 7, 6, 0);
    const jint any = INT_MIN;
    EXPECT_FALSE(layer->removeMatchingItem(a, 5, 6, 2));
    EXPECT_TRUE(layer->removeMatchingItem(nullptr, 5, any, 2));  // b
    EXPECT_TRUE(layer->removeMatchingItem(nullptr, any, any, any));  // the first: a at 5
    VMPtr<RecordingGraphics> g = recorder(100, 100);
    layer->paint(g);
    ASSERT_EQ(g->regions().size(), 1u);
    EXPECT_EQ(g->regions()[0].dx, 7);
}

TEST_F(CellLayerTest, FixedItemsAreFoundByRangeAndDrawnInTheOrderAdded) {
    std::mt19937 random(114);
    for (jboolean byY : {false, true}) {
        VMPtr<CellLayer> layer = directLayer(120, 90);
        layer->initFixedItems(300, byY);
        std::vector<VMPtr<Gob>> gobs;
        std::vector<Rect> placed;
        for (int i = 0; i < 300; ++i) {
            VMPtr<Gob> g = square(jint(1 + random() % 40));
            g->offsetX = jshort(-jint(random() % 8));
            const jint x = jint(random() % 900) - 100, y = jint(random() % 700) - 100;
            layer->addFixedItem(g, x, y, 0);
            gobs.push_back(g);
            placed.push_back({x + g->offsetX, y, g->width, g->height});
        }
        EXPECT_EQ(VM_THROWN_CLASS(layer->addFixedItem(square(2), 0, 0, 0)), "java.lang.IllegalStateException");
        for (int view = 0; view < 20; ++view) {
            const jint vx = jint(random() % 800) - 100, vy = jint(random() % 600) - 100;
            layer->setViewPosition(vx, vy);
            VMPtr<RecordingGraphics> g = recorder(120, 90);
            layer->paint(g);
            std::vector<void*> expected;
            for (int i = 0; i < 300; ++i) {
                const Rect& r = placed[size_t(i)];
                if (r[0] < vx + 120 && r[1] < vy + 90 && vx < r[0] + r[2] && vy < r[1] + r[3]) {
                    expected.push_back(gobs[size_t(i)]->image.get());
                }
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
        {0, 650, {{0, 10, 480, 630, 0, 0}, {0, 0, 480, 10, 0, 630}}},
        {480, 1280, {{0, 0, 480, 640, 0, 0}}},
        {500, 700,
         {{20, 60, 460, 580, 0, 0}, {0, 60, 20, 580, 460, 0}, {20, 0, 460, 60, 0, 580}, {0, 0, 20, 60, 460, 580}}},
        // Negative positions wrap like positive ones.
        {-20, 0, {{460, 0, 20, 640, 0, 0}, {0, 0, 460, 640, 20, 0}}},
    };
    for (const Case& c : cases) {
        layer->setViewPosition(c.viewX, c.viewY);
        VMPtr<RecordingGraphics> g = recorder(480, 640);
        layer->paint(g);
        EXPECT_EQ(piecesOf(g), c.pieces) << c.viewX << ", " << c.viewY;
    }
}

TEST_F(CellLayerTest, ScrollingRedrawsOnlyTheUncoveredStrips) {
    VMPtr<CellLayer> layer = CellLayer::createBuffered(480, 640);
    layer->setMap(ts::Resources::getImage(TILE_SET), 100, 100, 16, 16);
    VMPtr<Graphics> screen = Image::createImage(480, 640)->getGraphics();
    layer->paint(screen);
    VMPtr<RecordingGraphics> buffer = recordBuffer(layer);
    // Right by 8: the strip (viewX + 472, viewY, 8, 640) at buffer x 0.
    layer->setViewPosition(8, 0);
    layer->paint(screen);
    EXPECT_EQ(clipsOf(buffer), (std::vector<Rect>{{0, 0, 8, 640}}));
    // Down and left: a column strip and a row strip.
    buffer->log.clear();
    layer->setViewPosition(4, 10);
    layer->paint(screen);
    EXPECT_EQ(clipsOf(buffer),
              (std::vector<Rect>{{4, 10, 4, 630}, {4, 0, 4, 10}, {4, 0, 476, 10}, {0, 0, 4, 10}}));
    // A rectangle across the right and bottom edges goes in four pieces.
    buffer->log.clear();
    layer->redrawBufferRegion(474, 630, 20, 30);
    EXPECT_EQ(clipsOf(buffer), (std::vector<Rect>{{474, 630, 6, 10}, {474, 0, 6, 20}, {0, 0, 14, 20}, {0, 630, 14, 10}}));
    // A changed cell redraws the whole view at the next paint.
    buffer->log.clear();
    layer->setCell(3, 3, 1);
    layer->paint(screen);
    jlong area = 0;
    for (const Rect& r : clipsOf(buffer)) area += jlong(r[2]) * r[3];
    EXPECT_EQ(area, 480 * 640);
}

TEST_F(CellLayerTest, ItemChangesRepairTheBuffer) {
    VMPtr<CellLayer> layer = CellLayer::createBuffered(100, 100);
    layer->setMap(ts::Resources::getImage(TILE_SET), 20, 20, 16, 16);
    layer->initItems(4);
    VMPtr<Gob> item = square(10);
    const jint visible = layer->addItem(item, 20, 30, 0);
    const jint hidden = layer->addItem(item, 300, 30, 0);
    VMPtr<Graphics> screen = Image::createImage(100, 100)->getGraphics();
    layer->paint(screen);
    VMPtr<RecordingGraphics> buffer = recordBuffer(layer);
    // A visible item's old rectangle is redrawn at once.
    layer->moveItem(item, 40, 30, 0, visible);
    EXPECT_EQ(clipsOf(buffer), (std::vector<Rect>{{20, 30, 10, 10}}));
    // An item out of view changes nothing until the paint, which draws the
    // items from the earliest changed one over the buffer.
    buffer->log.clear();
    layer->moveItem(item, 310, 30, 0, hidden);
    EXPECT_TRUE(buffer->log.empty());
    layer->paint(screen);
    EXPECT_EQ(clipsOf(buffer), (std::vector<Rect>{{0, 0, 100, 100}}));
    ASSERT_EQ(buffer->regions().size(), 1u);  // only the moved item: no tiles
    EXPECT_EQ(buffer->regions()[0].dx, 40);
    // A removed item's rectangle is redrawn without it.
    buffer->log.clear();
    layer->removeItem(visible);
    EXPECT_EQ(clipsOf(buffer), (std::vector<Rect>{{40, 30, 10, 10}}));
    for (const Drawn& d : buffer->regions()) EXPECT_NE(d.image, item->image.get());
}
