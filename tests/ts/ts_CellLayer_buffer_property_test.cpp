// The ring buffer against direct painting: random scrolls, item changes,
// cell and animated-tile changes, applied to a buffered layer and to a direct
// twin; after each paint the two frames are equal pixel for pixel.
//
// The items are image parts without partly transparent pixels: the buffer
// draws changed items over what it holds, which only such pixels survive
// unchanged. Without an alpha buffer the buffer never shows what lies below
// it, so that run keeps to opaque tiles and a view inside the map.
#include <algorithm>
#include <random>
#include <sstream>

#include "java_lang_Integer.h"
#include "textcells_test_support.h"
#include "ts_CellLayer.h"

using ts::CellLayer;
using ts::Gob;
using namespace tstest;

namespace {

class CellLayerBufferTest : public ::testing::Test {
protected:
    Booted booted;
    VMPtr<TestCanvas> canvas = stoppedCanvas();
};

constexpr jint W = 100, H = 72;          // not whole tiles
constexpr jint COLUMNS = 40, ROWS = 30;  // 640 x 480 pixels of 16 x 16 tiles

struct Config {
    const char* name;
    bool alpha, separateImages;  // of the buffered layer; the twin cuts its tiles from the set
    jint scrollShare;            // percent of the steps that scroll
};

Picture frameOf(const VMPtr<CellLayer>& layer, bool alpha) {
    VMPtr<Image> target = alpha ? Image::createImage(W, H, true, 0) : Image::createImage(W, H);
    layer->paint(target->getGraphics());
    Picture p = pictureOf(target);
    for (uint32_t& px : p.argb) px = (px >> 24) == 0 ? 0 : px;
    return p;
}

void runRandomSteps(const Config& config, uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return jint(random() % n); };
    VMPtr<Gobs> sheet = ts::Resources::getGobs(16 * 1024 + 1);
    std::vector<VMPtr<Gob>> gobs;
    for (jint i = 0; i < sheet->length; ++i) {
        if (sheet->get(i)->alphaKind <= 2) gobs.push_back(sheet->get(i));
    }
    const std::vector<jint> values = config.alpha ? std::vector<jint>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -2, -3, 0x2004}
                                                  : std::vector<jint>{1, 2, 4, 5, -1, -2, -3, 0x1005};
    const std::vector<jint> animated = config.alpha ? std::vector<jint>{0, 1, 3, 6, 8} : std::vector<jint>{1, 2, 4, 5};
    VMPtr<CellLayer> buffered = CellLayer::create()->construct(true, config.separateImages, config.alpha, W, H);
    VMPtr<CellLayer> direct = CellLayer::create()->construct(false, false, false, W, H);
    std::ostringstream history;
    // Every change goes to both layers.
    auto both = [&](auto&& change) {
        change(buffered);
        change(direct);
    };
    std::vector<jint> cells(COLUMNS * ROWS);
    for (jint& v : cells) v = values[size_t(pick(values.size()))];
    both([&](const VMPtr<CellLayer>& l) {
        l->setMap(ts::Resources::getImage(TILE_SET), COLUMNS, ROWS, 16, 16);
        for (jint a = 0; a < 3; ++a) l->createAnimatedTile(animated[size_t(a)]);
        for (jint i = 0; i < COLUMNS * ROWS; ++i) l->setCell(i % COLUMNS, i / COLUMNS, cells[size_t(i)]);
        l->initItems(24);
        l->initFixedItems(40, false);
    });
    for (int i = 0; i < 40; ++i) {
        const jint g = pick(gobs.size()), x = pick(640), y = pick(480), t = pick(4);
        both([&](const VMPtr<CellLayer>& l) { l->addFixedItem(gobs[size_t(g)], x, y, t); });
    }
    jint viewX = 200, viewY = 150;
    std::vector<jint> live;
    for (int step = 0; step < 500; ++step) {
        const jint op = 35 + pick(65);
        const jint g = pick(gobs.size()), t = pick(4), x = viewX - 40 + pick(W + 80), y = viewY - 40 + pick(H + 80);
        if (pick(100) < config.scrollShare) {
            auto delta = [&](jint size) {
                const jint kind = pick(3), magnitude = 1 + (kind == 0 ? pick(8) : pick(size_t(kind * size)));
                return pick(3) == 0 ? 0 : pick(2) ? magnitude : -magnitude;
            };
            const jint margin = config.alpha ? 60 : 0;
            viewX = std::clamp(viewX + delta(W), -margin, 640 - W + margin);
            viewY = std::clamp(viewY + delta(H), -margin, 480 - H + margin);
            both([&](const VMPtr<CellLayer>& l) { l->setViewPosition(viewX, viewY); });
            history << step << ": view " << viewX << "," << viewY << "\n";
        } else if (op < 55 && live.size() < 24) {
            const jint h = buffered->addItem(gobs[size_t(g)], x, y, t);
            ASSERT_EQ(direct->addItem(gobs[size_t(g)], x, y, t), h);
            live.push_back(h);
            history << step << ": add " << h << " at " << x << "," << y << " t" << t << "\n";
        } else if (op < 75 && !live.empty()) {
            const jint h = live[size_t(pick(live.size()))], far = pick(5) == 0 ? 2000 : 0;
            both([&](const VMPtr<CellLayer>& l) { l->moveItem(gobs[size_t(g)], x + far, y, t, h); });
            history << step << ": move " << h << " to " << x + far << "," << y << " t" << t << "\n";
        } else if (op < 85 && !live.empty()) {
            const size_t k = size_t(pick(live.size()));
            if (pick(4) == 0) {  // the first in drawing order
                const jint any = java::lang::Integer::MIN_VALUE;
                both([&](const VMPtr<CellLayer>& l) { ASSERT_TRUE(l->removeMatchingItem(nullptr, any, any, any)); });
                live.erase(std::find(live.begin(), live.end(), buffered->freeItem));
            } else {
                both([&](const VMPtr<CellLayer>& l) { l->removeItem(live[k]); });
                live.erase(live.begin() + jint(k));
            }
            history << step << ": remove " << buffered->freeItem << "\n";
        } else if (op < 92) {
            const jint c = std::clamp(x / 16, 0, COLUMNS - 1), r = std::clamp(y / 16, 0, ROWS - 1);
            const jint v = values[size_t(pick(values.size()))];
            both([&](const VMPtr<CellLayer>& l) { l->setCell(c, r, v); });
            history << step << ": cell " << c << "," << r << " = " << v << "\n";
        } else {
            const jint a = -1 - pick(3), v = animated[size_t(pick(animated.size()))];
            both([&](const VMPtr<CellLayer>& l) { l->setAnimatedTile(a, v); });
            history << step << ": animated " << a << " = " << v << "\n";
        }
        if (pick(10) < 6 || step == 499) {
            const Picture expected = frameOf(direct, config.alpha), actual = frameOf(buffered, config.alpha);
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
        runRandomSteps(config, seed++);
        if (HasFatalFailure()) return;
    }
}
