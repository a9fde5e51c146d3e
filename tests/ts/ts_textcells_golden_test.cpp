// Fonts, wrapped texts and the cell layer drawn into images and compared with
// the golden pictures in tests/ts/golden/.
#include "ts_CellLayer.h"
#include "textcells_test_support.h"
#include "ts_util_text_WrappedText.h"

using ts::CellLayer;
using ts::Gob;
using ts::util::text::RichFont;
using ts::util::text::WrappedText;
using namespace tstest;

namespace {

class TextCellsGoldenTest : public VMTest {};

constexpr jint BACKGROUND = 0x202830;
constexpr jint MARK = 0xE04040;

const jint kAnchors[9] = {
    Graphics::TOP | Graphics::LEFT,      Graphics::TOP | Graphics::HCENTER,      Graphics::TOP | Graphics::RIGHT,
    Graphics::BASELINE | Graphics::LEFT, Graphics::BASELINE | Graphics::HCENTER, Graphics::BASELINE | Graphics::RIGHT,
    Graphics::BOTTOM | Graphics::LEFT,   Graphics::BOTTOM | Graphics::HCENTER,   Graphics::BOTTOM | Graphics::RIGHT,
};

void cross(const VMPtr<Graphics>& g, jint x, jint y) {
    g->setColor(MARK);
    g->drawLine(x - 3, y, x + 3, y);
    g->drawLine(x, y - 3, x, y + 3);
}

// Reads the test data set's level 0 into a layer: its map (cells take the
// number of their tile entry), its animated tiles (object group 1) as fixed
// items the parts of object group 2.
class LevelCanvas : public ts::TsCanvas {
    VM_DECLARE_CLASS(LevelCanvas, ts::TsCanvas)

public:
    VMField<CellLayer> layer;
    VMField<Gobs> parts;

    VMPtr<LevelCanvas> construct() {
        Super::construct(nullptr);
        return this;
    }
    void tick() override {}
    void paintGame(VMPtr<Graphics>) override {}
    void levelHeader(jint) override { levelReadBits(4); }
    void levelMapSize(jint width, jint height) override {
        layer->setMap(ts::Resources::getImage(TILE_SET), width, height, 16, 16);
    }
    void levelMapCell(jint x, jint y, jint) override {
        // The entry itself: the last 12 bits read.
        const jlong at = levelPosition - 12;
        jint entry = 0;
        for (jint i = 0; i < 12; ++i) {
            const jlong bit = at + i;
            entry = entry << 1 | ((levelData->get(jint(bit >> 3)) >> (7 - (bit & 7))) & 1);
        }
        layer->setCell(x, y, entry);
    }
    void levelObjectGroup(jint type, jint) override {
        if (type == 1) levelReadBits(8);
        if (type == 3) levelReadBits(17);
    }
    void levelObject(jint type, jint x, jint y) override {
        if (type == 1) {
            const jint first = levelReadBits(12), frames = levelReadBits(4);
            levelReadBits(8);
            const jint index = layer->createAnimatedTile(first);
            layer->setAnimatedTile(index, first + (x + y) % frames);  // a later frame for some
            layer->setCell(x, y, index);
        } else if (type == 2) {
            layer->addFixedItem(parts->get(levelReadBits(3)), x, y, 0);
        }
    }
    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(layer, bits);
        _VM_markRef(parts, bits);
    }
};

}  // namespace

VM_REGISTER_CLASS(LevelCanvas, .name = "tstest.LevelCanvas")

TEST_F(TextCellsGoldenTest, FontUnderEveryAnchorAndTransform) {
    // Rows: the eight transforms; columns: the nine anchors; the cross marks
    // the anchor point.
    constexpr jint CW = 90, CH = 90;
    VMPtr<Image> image = Image::createImage(9 * CW, 8 * CH);
    VMPtr<Graphics> g = image->getGraphics();
    g->setColor(BACKGROUND);
    g->fillRect(0, 0, 9 * CW, 8 * CH);
    VMPtr<RichFont> font = fontOf(loadGlyphs(FONT_SMALL));
    for (jint t = 0; t < 8; ++t) {
        font->setTransform(t);
        for (jint a = 0; a < 9; ++a) {
            const jint x = a * CW + CW / 2, y = t * CH + CH / 2;
            g->setColor(0x303848);
            g->drawRect(a * CW, t * CH, CW - 1, CH - 1);
            font->drawString(g, VM_STR("Ag1\u00e9"), x, y, kAnchors[a]);
            cross(g, x, y);
        }
    }
    EXPECT_TRUE(matchesGolden("ts", "font_anchors_transforms", pictureOf(image)));
}

TEST_F(TextCellsGoldenTest, FontsAtHalfAlpha) {
    VMPtr<Image> image = Image::createImage(240, 110);
    VMPtr<Graphics> g = image->getGraphics();
    for (jint x = 0; x < 240; x += 8) {
        g->setColor((x / 8) % 2 ? 0x2050A0 : 0xE0E0E0);
        g->fillRect(x, 0, 8, 110);
    }
    VMPtr<RichFont> large = fontOf(loadGlyphs(FONT_LARGE));
    VMPtr<RichFont> small = fontOf(loadGlyphs(FONT_SMALL));
    large->drawString(g, VM_STR("Vessilo 255"), 120, 4, Graphics::TOP | Graphics::HCENTER);
    large->setAlpha(128);
    large->drawString(g, VM_STR("Vessilo 128"), 120, 34, Graphics::TOP | Graphics::HCENTER);
    small->drawString(g, VM_STR("\u20ac 12,50 \u00c0 255"), 120, 66, Graphics::TOP | Graphics::HCENTER);
    small->setAlpha(128);
    small->drawString(g, VM_STR("\u20ac 12,50 \u00c0 128"), 120, 86, Graphics::TOP | Graphics::HCENTER);
    EXPECT_TRUE(matchesGolden("ts", "font_alpha", pictureOf(image)));
}

TEST_F(TextCellsGoldenTest, WrappedTextInABoxWithEachAnchor) {
    // Columns LEFT, HCENTER, RIGHT; rows TOP, BASELINE. The box is outlined,
    // the red line is where the lines are aligned.
    constexpr jint BW = 150, BH = 130;
    VMPtr<Image> image = Image::createImage(3 * (BW + 20), 2 * (BH + 20));
    VMPtr<Graphics> g = image->getGraphics();
    g->setColor(BACKGROUND);
    g->fillRect(0, 0, image->getWidth(), image->getHeight());
    VMPtr<RichFont> font = fontOf(loadGlyphs(FONT_SMALL));
    const jint horizontal[3] = {Graphics::LEFT, Graphics::HCENTER, Graphics::RIGHT};
    const jint vertical[2] = {Graphics::TOP, Graphics::BASELINE};
    VMPtr<WrappedText> text = WrappedText::create()->construct(nullptr);
    text->wrap(font,
               VM_STR("The quick brown fox jumps over the lazy dog. Call 555-1234 or write to "
                      "mail@example.test; temperatures reach -12 degrees.\n\nSecond paragraph."),
               BW);
    text->setLineSpacing(1);
    for (jint row = 0; row < 2; ++row) {
        for (jint column = 0; column < 3; ++column) {
            const jint x = 10 + column * (BW + 20), y = 10 + row * (BH + 20);
            g->setColor(0x607080);
            g->drawRect(x - 1, y - 1, BW + 1, BH + 1);
            g->setColor(MARK);
            const jint at = x + (column == 1 ? BW / 2 : column == 2 ? BW : 0);
            g->drawLine(at, y, at, y + 4);
            text->paint(g, x, y, horizontal[column] | vertical[row]);
        }
    }
    EXPECT_TRUE(matchesGolden("ts", "wrapped_text_anchors", pictureOf(image)));
}

TEST_F(TextCellsGoldenTest, TheTestMapPaintedDirectly) {
    VMPtr<LevelCanvas> canvas = LevelCanvas::create()->construct();
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    ASSERT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
    VMPtr<CellLayer> layer = CellLayer::create()->construct(false, false, false, 128, 96);
    layer->initFixedItems(8, false);
    canvas->layer = layer;
    canvas->parts = ts::Resources::getGobs(16 * 1024 + 1);
    ASSERT_TRUE(canvas->loadLevel(ts::Resources::getResource(0x5800 + 1)));
    EXPECT_EQ(layer->getColumns(), 8);
    EXPECT_EQ(layer->getCell(3, 1), -1);
    // Movable items over the map, one per mirror transform, the newest on top.
    VMPtr<Gobs> parts = canvas->parts;
    layer->initItems(8);
    layer->addItem(parts->get(0), 24, 40, 0);
    layer->addItem(parts->get(6), 64, 72, 1);
    layer->addItem(parts->get(4), 96, 36, 2);
    layer->addItem(parts->get(5), 104, 44, 3);
    VMPtr<Image> image = Image::createImage(144, 112);
    VMPtr<Graphics> g = image->getGraphics();
    g->setColor(BACKGROUND);
    g->fillRect(0, 0, 144, 112);
    g->translate(8, 8);
    layer->paint(g);
    EXPECT_TRUE(matchesGolden("ts", "cell_layer_direct", pictureOf(image)));
}
