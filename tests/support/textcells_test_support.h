// Test support for the fonts, wrapped texts and cell layers: a Graphics that
// records what is drawn through it, glyph arrays made in the test, and the
// test data set's font and tile set.
#pragma once

#include <string>
#include <vector>

#include "VM.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "lcdui_test_support.h"
#include "ts_Gob.h"
#include "ts_Resources.h"
#include "ts_test_support.h"
#include "ts_util_text_RichFont.h"

namespace tstest {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using Gobs = VMArray<ts::Gob, 1>;

// One drawRegion call (source rectangle, transform, destination) or one
// setClip call (x, y, w, h).
struct Drawn {
    bool clip;
    void* image;
    jint x, y, w, h, transform, dx, dy;
};

// Draws into an image like any Graphics and records drawRegion and setClip.
class RecordingGraphics : public Graphics {
    VM_DECLARE_CLASS(RecordingGraphics, Graphics)

public:
    std::vector<Drawn> log;

    VMPtr<RecordingGraphics> construct(VMPtr<Image> target) {
        Super::construct();
        initWithImage(target);
        log.clear();  // the clip that the binding set
        return this;
    }
    void drawRegion(VMPtr<Image> src, jint xSrc, jint ySrc, jint width, jint height, jint transform, jint xDest,
                    jint yDest, jint anchor) override {
        log.push_back({false, src.get(), xSrc, ySrc, width, height, transform, xDest, yDest});
        Super::drawRegion(src, xSrc, ySrc, width, height, transform, xDest, yDest, anchor);
    }
    void setClip(jint x, jint y, jint width, jint height) override {
        log.push_back({true, nullptr, x, y, width, height, 0, 0, 0});
        Super::setClip(x, y, width, height);
    }
    std::vector<Drawn> of(bool clips) const {
        std::vector<Drawn> r;
        for (const Drawn& d : log) {
            if (d.clip == clips) r.push_back(d);
        }
        return r;
    }
    std::vector<Drawn> regions() const { return of(false); }
    std::vector<Drawn> clips() const { return of(true); }
};

inline VMPtr<RecordingGraphics> recorder(jint width, jint height) {
    return RecordingGraphics::create()->construct(Image::createImage(width, height));
}

// A glyph array as loaded: per glyph the code difference to the previous
// one, the real offsets, the size (an image of one colour), the advance and
// the metric (collisionHeight).
struct GlyphSpec {
    jint codeStep, x, y, w, h, advance, metric;
};

inline VMPtr<Gobs> glyphArray(const std::vector<GlyphSpec>& specs) {
    VMPtr<Gobs> array = Gobs::create(jint(specs.size()));
    for (size_t i = 0; i < specs.size(); ++i) {
        const GlyphSpec& s = specs[i];
        VMPtr<ts::Gob> g = ts::Gob::create()->construct();
        g->offsetX = jshort(s.codeStep >> 8);
        g->offsetY = jshort(s.codeStep & 0xFF);
        g->collisionX = jshort(s.x);
        g->collisionY = jshort(s.y);
        g->width = jshort(s.w);
        g->height = jshort(s.h);
        g->collisionWidth = jshort(s.advance);
        g->collisionHeight = jshort(s.metric);
        g->alphaKind = 1;
        if (s.w > 0 && s.h > 0) g->image = Image::createImage(s.w, s.h, true, 0xFF000000);
        array->set(jint(i), g);
    }
    return array;
}

// A monospaced font of ' ' (no ink) to '~': ink inkWidth x 7 at (0, 2),
// advance 10; height 12, baseline 9, missing advance 7, line height 14,
// extra metric 3.
inline VMPtr<Gobs> monoFont(jint inkWidth = 8) {
    std::vector<GlyphSpec> specs;
    const jint metrics[7] = {12, 9, 7, 255, 14, 3, 0};
    for (jint c = ' '; c <= '~'; ++c) {
        const jint i = c - ' ';
        specs.push_back(c == ' ' ? GlyphSpec{' ', 0, 0, 0, 0, 10, metrics[0]}
                                 : GlyphSpec{1, 0, 2, inkWidth, 7, 10, i < 7 ? metrics[i] : 0});
    }
    return glyphArray(specs);
}

inline VMPtr<ts::util::text::RichFont> fontOf(const VMPtr<Gobs>& glyphs) {
    VMPtr<ts::util::text::RichFont> font = ts::util::text::RichFont::create()->construct();
    font->setGlyphs(glyphs);
    return font;
}

// The test data set: a font in two sizes (DejaVu Sans 12 px, DejaVu Sans
// Bold 20 px aligned by advance) and the level pack's 64 x 32 tile set.
constexpr jint FONT_SMALL = 17 * 1024 + 1;
constexpr jint FONT_LARGE = 17 * 1024 + 3;
constexpr jint TILE_SET = 22 * 1024 + 0;

inline VMPtr<Gobs> loadGlyphs(jint id) { return ts::Resources::getGobs(id); }

}  // namespace tstest
