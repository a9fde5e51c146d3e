// The ring buffer against direct painting: random scrolls, item changes,
// cell and animated-tile changes, applied to a buffered layer and to a
// direct twin; after each paint the two frames are equal pixel for pixel.
//
// The items are image parts without partly transparent pixels: the buffer
// draws changed items over what it holds, which only such pixels survive
// unchanged. Without an alpha buffer the buffer never shows what lies below
// it, so that run keeps to opaque tiles and a view inside the map.
#include <algorithm>
#include <random>
#include <sstream>

#include "java_lang_Integer.h"
#include "ts_CellLayer.h"
#include "textcells_test_support.h"

using ts::CellLayer;
using ts::Gob;
using namespace tstest;

namespace {

class CellLayerBufferTest : public ::testing::Test {
protected:
    Booted booted;
    VMPtr<TestCanvas> canvas = stoppedCanvas();
};

constexpr jint W = 100, H = 72;           // not whole tiles
constexpr jint COLUMNS = 40, ROWS = 30;   // 640 x 480 pixels of 16 x 16 tiles

struct Config {
    const char* name;
    bool alpha;
    bool separateImages;  // the buffered layer's tiles; the twin cuts from the set
    jint scrollShare;     // percent of the steps that scroll
};

Picture frameOf(const VMPtr<CellLayer>& layer, bool alpha) {
    VMPtr<Image> target = alpha ? Image::createImage(W, H, true, 0) : Image::createImage(W, H);
    layer->paint(target->getGraphics());
    Picture p = pictureOf(target);
    for (uint32_t& px : p.argb) {
        if ((px >> 24) == 0) px = 0;
    }
    return p;
}

void runRandomSteps(const Config& config, uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](jint n) { return jint(random() % uint32_t(n)); };
    VMPtr<Image> tiles = ts::Resources::getImage(TILE_SET);
    VMPtr<Gobs> sheet = ts::Resources::getGobs(16 * 1024 + 1);
    std::vector<VMPtr<Gob>> gobs;
    for (jint i = 0; i < sheet->length; ++i) {
        if (sheet->get(i)->alphaKind <= 2) gobs.push_back(sheet->get(i));
    }
    ASSERT_GE(gobs.size(), 4u);
    // Tile values: opaque tiles only without an alpha buffer.
    const std::vector<jint> values = config.alpha ? std::vector<jint>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -2, -3, 0x2004}
                                                  : std::vector<jint>{1, 2, 4, 5, -1, -2, -3, 0x1005};
    const std::vector<jint> animatedValues =
        config.alpha ? std::vector<jint>{0, 1, 3, 6, 8} : std::vector<jint>{1, 2, 4, 5};

    VMPtr<CellLayer> buffered = CellLayer::create()->construct(true, config.separateImages, config.alpha, W, H);
    VMPtr<CellLayer> direct = CellLayer::create()->construct(false, false, false, W, H);
    std::vector<jint> cellValues(size_t(COLUMNS * ROWS));
    for (jint& v : cellValues) v = values[size_t(pick(jint(values.size())))];
    for (const VMPtr<CellLayer>& layer : {buffered, direct}) {
        layer->setMap(tiles, COLUMNS, ROWS, 16, 16);
        for (jint a = 0; a < 3; ++a) layer->createAnimatedTile(animatedValues[size_t(a)]);
        for (jint i = 0; i < COLUMNS * ROWS; ++i) layer->setCell(i % COLUMNS, i / COLUMNS, cellValues[size_t(i)]);
        layer->initItems(24);
        layer->initFixedItems(40, false);
    }
    for (int i = 0; i < 40; ++i) {
        const VMPtr<Gob>& g = gobs[size_t(pick(jint(gobs.size())))];
        const jint x = pick(640), y = pick(480), t = pick(4);
        buffered->addFixedItem(g, x, y, t);
        direct->addFixedItem(g, x, y, t);
    }

    jint viewX = 200, viewY = 150;
    std::vector<jint> live;
    std::ostringstream history;
    for (int step = 0; step < 500; ++step) {
        const bool scroll = pick(100) < config.scrollShare;
        const jint op = 35 + pick(65);  // the other kinds of step, in these shares
        if (scroll) {
            auto delta = [&](jint size) {
                const jint kind = pick(3);
                const jint magnitude = kind == 0 ? 1 + pick(8) : kind == 1 ? 1 + pick(size) : 1 + pick(2 * size);
                return pick(3) == 0 ? 0 : (pick(2) ? magnitude : -magnitude);
            };
            const jint margin = config.alpha ? 60 : 0;
            viewX = std::clamp(viewX + delta(W), -margin, 640 - W + margin);
            viewY = std::clamp(viewY + delta(H), -margin, 480 - H + margin);
            buffered->setViewPosition(viewX, viewY);
            direct->setViewPosition(viewX, viewY);
            history << step << ": view " << viewX << "," << viewY << "\n";
        } else if (op < 55 && live.size() < 24) {
            const VMPtr<Gob>& g = gobs[size_t(pick(jint(gobs.size())))];
            const jint x = viewX - 40 + pick(W + 80), y = viewY - 40 + pick(H + 80), t = pick(4);
            const jint h = buffered->addItem(g, x, y, t);
            ASSERT_EQ(direct->addItem(g, x, y, t), h);
            live.push_back(h);
            history << step << ": add " << h << " at " << x << "," << y << " t" << t << "\n";
        } else if (op < 75 && !live.empty()) {
            const jint h = live[size_t(pick(jint(live.size())))];
            const VMPtr<Gob>& g = gobs[size_t(pick(jint(gobs.size())))];
            const bool far = pick(5) == 0;
            const jint x = far ? 2000 : viewX - 40 + pick(W + 80), y = viewY - 40 + pick(H + 80), t = pick(4);
            buffered->moveItem(g, x, y, t, h);
            direct->moveItem(g, x, y, t, h);
            history << step << ": move " << h << " to " << x << "," << y << " t" << t << "\n";
        } else if (op < 85 && !live.empty()) {
            if (pick(4) == 0) {
                const jint any = java::lang::Integer::MIN_VALUE;
                ASSERT_TRUE(buffered->removeMatchingItem(nullptr, any, any, any));
                ASSERT_TRUE(direct->removeMatchingItem(nullptr, any, any, any));
                live.erase(std::find(live.begin(), live.end(), buffered->freeItem));
                history << step << ": remove first " << buffered->freeItem << "\n";
            } else {
                const size_t k = size_t(pick(jint(live.size())));
                buffered->removeItem(live[k]);
                direct->removeItem(live[k]);
                history << step << ": remove " << live[k] << "\n";
                live.erase(live.begin() + jint(k));
            }
        } else if (op < 92) {
            const jint c = std::clamp(viewX / 16 - 1 + pick(W / 16 + 3), 0, COLUMNS - 1);
            const jint r = std::clamp(viewY / 16 - 1 + pick(H / 16 + 3), 0, ROWS - 1);
            const jint v = values[size_t(pick(jint(values.size())))];
            buffered->setCell(c, r, v);
            direct->setCell(c, r, v);
            history << step << ": cell " << c << "," << r << " = " << v << "\n";
        } else {
            const jint a = -1 - pick(3), v = animatedValues[size_t(pick(jint(animatedValues.size())))];
            buffered->setAnimatedTile(a, v);
            direct->setAnimatedTile(a, v);
            history << step << ": animated " << a << " = " << v << "\n";
        }
        if (pick(10) < 6 || step == 499) {
            const Picture expected = frameOf(direct, config.alpha);
            const Picture actual = frameOf(buffered, config.alpha);
            for (size_t i = 0; i < expected.argb.size(); ++i) {
                ASSERT_EQ(actual.argb[i], expected.argb[i])
                    << config.name << ": step " << step << " pixel " << i % W << "," << i / W << "\n"
                    << history.str();
            }
            history.str("");
            history << "(painted)\n";
        }
    }
}

}  // namespace

TEST_F(CellLayerBufferTest, BufferedPaintsEqualDirectPaints) {
    const Config configs[] = {
        {"opaque buffer", false, false, 35},
        {"alpha buffer", true, false, 35},
        {"alpha buffer, separate tile images", true, true, 35},
        {"alpha buffer, few scrolls", true, false, 5},
    };
    uint32_t seed = 2300;
    for (const Config& config : configs) {
        SCOPED_TRACE(config.name);
        runRandomSteps(config, seed++);
        if (HasFatalFailure()) return;
    }
}
