// Bitmap fonts, wrapped text and cell layers. Targets at -O2:
//   BM_CellLayerDirectPaint      at most 2.5 ms for a 480 x 640 view of 16 x 16 tiles
//   BM_CellLayerBufferedScroll8  at most 0.8 ms for a buffered paint after an 8-pixel scroll
//   BM_FixedItemSearch           at most 50 us to find (and draw) the 20 visible fixed items among 2,000
//   BM_BitmapDrawString40        at most 25 us for a 40-character drawString in a bitmap font
//   BM_Wrap2000                  at most 0.3 ms to wrap 2,000 characters
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "VM.h"
#include "bench_support.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_CellLayer.h"
#include "ts_Gob.h"
#include "ts_TsCanvas.h"
#include "ts_util_text_RichFont.h"
#include "ts_util_text_WrappedText.h"

namespace benchtextcells {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using ts::CellLayer;
using ts::Gob;
using ts::util::text::RichFont;
using ts::util::text::WrappedText;
using Gobs = VMArray<Gob, 1>;

class Canvas : public ts::TsCanvas {
    VM_DECLARE_CLASS(Canvas, ts::TsCanvas)

public:
    VMPtr<Canvas> construct() {
        Super::construct(nullptr);
        return this;
    }
    void tick() override {}
    void paintGame(VMPtr<Graphics>) override {}
};

// The canvas whose image factory the buffered layers use; its loop stopped.
void ensureCanvas() {
    benchBoot();
    static bool made = false;
    if (made) return;
    made = true;
    VMPtr<Canvas> canvas = Canvas::create()->construct();
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    for (int i = 0; i < 1000 && canvas->thread->isAlive(); ++i) VMThread::sleep(VMThread::current(), 1);
}

// A 128 x 64 tile set of 32 opaque 16 x 16 tiles.
VMPtr<Image> tileSet() {
    VMPtr<Image> image = Image::createImage(128, 64);
    VMPtr<Graphics> g = image->getGraphics();
    for (jint i = 0; i < 32; ++i) {
        g->setColor(0x203040 + i * 0x050307);
        g->fillRect(i % 8 * 16, i / 8 * 16, 16, 16);
        g->setColor(0xE0E0E0);
        g->drawLine(i % 8 * 16, i / 8 * 16, i % 8 * 16 + 15, i / 8 * 16 + i % 16);
    }
    return image;
}

VMPtr<CellLayer> mapLayer(bool buffered) {
    VMPtr<CellLayer> layer = CellLayer::create()->construct(buffered, false, false, 480, 640);
    const jint columns = 200, rows = 200;
    layer->setMap(tileSet(), columns, rows, 16, 16);
    std::mt19937 random(5);
    for (jint r = 0; r < rows; ++r) {
        for (jint c = 0; c < columns; ++c) layer->setCell(c, r, jint(1 + random() % 32));
    }
    return layer;
}

void BM_CellLayerDirectPaint(benchmark::State& state) {
    ensureCanvas();
    VMPtr<CellLayer> layer = mapLayer(false);
    VMPtr<Graphics> g = Image::createImage(480, 640)->getGraphics();
    jint x = 0;
    for (auto _ : state) {
        x = (x + 5) % 1000;  // never aligned to the tiles
        layer->setViewPosition(x, x + 3);
        layer->paint(g);
    }
}
BENCHMARK(BM_CellLayerDirectPaint)->Unit(benchmark::kMillisecond);

void BM_CellLayerBufferedScroll8(benchmark::State& state) {
    ensureCanvas();
    VMPtr<CellLayer> layer = mapLayer(true);
    VMPtr<Graphics> g = Image::createImage(480, 640)->getGraphics();
    layer->paint(g);
    jint x = 0;
    for (auto _ : state) {
        x = (x + 8) % 2400;
        layer->setViewPosition(x, 40);
        layer->paint(g);
    }
}
BENCHMARK(BM_CellLayerBufferedScroll8)->Unit(benchmark::kMillisecond);

void BM_FixedItemSearch(benchmark::State& state) {
    ensureCanvas();
    // 2,000 small items over a 4800 x 6400 world: about 20 in a 480 x 640 view.
    VMPtr<CellLayer> layer = CellLayer::create()->construct(false, false, false, 480, 640);
    layer->initFixedItems(2000, true);
    VMPtr<Gob> item = Gob::create()->construct();
    item->width = item->height = 8;
    item->alphaKind = 1;
    item->image = Image::createImage(8, 8);
    std::mt19937 random(9);
    for (int i = 0; i < 2000; ++i) layer->addFixedItem(item, jint(random() % 4800), jint(random() % 6400), 0);
    VMPtr<Graphics> g = Image::createImage(480, 640)->getGraphics();
    jint y = 0;
    for (auto _ : state) {
        y = (y + 37) % 5760;
        layer->setViewPosition(2160, y);
        layer->paint(g);
    }
}
BENCHMARK(BM_FixedItemSearch)->Unit(benchmark::kMicrosecond);

// A font of 95 glyphs with soft (partly transparent) ink, as the generated
// fonts have.
VMPtr<RichFont> bitmapFont() {
    VMPtr<Gobs> glyphs = Gobs::create(95);
    for (jint i = 0; i < 95; ++i) {
        VMPtr<Gob> g = Gob::create()->construct();
        const jint w = 5 + i % 4, h = 11;
        VMPtr<VMInts> px = VMInts::create(w * h);
        for (jint k = 0; k < w * h; ++k) (*px)[k] = jint(uint32_t((k * 37 % 256)) << 24 | 0xFFFFFF);
        g->image = Image::createRGBImage(px, w, h, true);
        g->width = jshort(w);
        g->height = jshort(h);
        g->alphaKind = 3;
        g->offsetX = 0;
        g->offsetY = jshort(i == 0 ? 32 : 1);
        g->collisionX = 1;
        g->collisionY = 3;
        g->collisionWidth = jshort(w + 2);
        static const jint metrics[7] = {15, 12, 4, 255, 14, 0, 0};
        g->collisionHeight = jshort(i < 7 ? metrics[i] : 0);
        glyphs->set(i, g);
    }
    VMPtr<RichFont> font = RichFont::create()->construct();
    font->setGlyphs(glyphs);
    return font;
}

void BM_BitmapDrawString40(benchmark::State& state) {
    ensureCanvas();
    VMPtr<RichFont> font = bitmapFont();
    VMPtr<java::lang::String> s = VM_STR("The quick brown fox jumps over the dog!!");
    VMPtr<Graphics> g = Image::createImage(480, 640)->getGraphics();
    for (auto _ : state) font->drawString(g, s, 240, 300, Graphics::BASELINE | Graphics::HCENTER);
}
BENCHMARK(BM_BitmapDrawString40)->Unit(benchmark::kMicrosecond);

void BM_Wrap2000(benchmark::State& state) {
    ensureCanvas();
    VMPtr<RichFont> font = bitmapFont();
    std::string text;
    const char* words[] = {"game ", "level-3 ", "hotel ", "airport, ", "mail@site ", "-12 ", "x\n", "mansion "};
    for (int i = 0; text.size() < 2000; ++i) text += words[i * 7 % 8];
    text.resize(2000);
    VMPtr<java::lang::String> s = java::lang::String::_VM_fromUTF8(text.c_str());
    VMPtr<WrappedText> w = WrappedText::create()->construct(nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(w->wrap(font, s, 300));
}
BENCHMARK(BM_Wrap2000)->Unit(benchmark::kMicrosecond);

}  // namespace benchtextcells

VM_REGISTER_CLASS(benchtextcells::Canvas, .name = "benchtextcells.Canvas")
