// Fuzz target: a bitmap font made from a glyph array as a resource holds it,
// measuring, bounds and drawing under a transform and anchor, and the line
// breaker and painting of wrapped text in it.
//
// Input layout: byte 0: bits 0-2 the transform, bits 3-5 pick the anchor,
// bit 6 draws at alpha 100, bit 7 replaces the conversion marker by 255;
// byte 1: the wrap width (signed, times 2); byte 2: the glyph count n; then n
// records of 8 bytes (code difference high and low byte, x and y offsets
// (signed), width and height (low 4 bits), advance (signed), metric
// (signed)); the rest is the text, one character a byte (0x80 to 0x8F stand
// for CR, LF, space, '@', '-' and digits, 0x90 and up for U+0100 and up).
//
// Allowed outcomes: setGlyphs refuses an array of fewer than 7 glyphs with
// IllegalArgumentException; otherwise every operation returns, and every
// wrapped line fits the width or holds one character and holds no line
// break. Anything else aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "VM.h"
#include "java_lang_IllegalArgumentException.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_Gob.h"
#include "ts_util_text_RichFont.h"
#include "ts_util_text_WrappedText.h"
#include "vm_boot.h"

namespace {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using ts::util::text::RichFont;
using ts::util::text::WrappedText;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_font: %s\n", what);
    std::abort();
}

jchar charOf(uint8_t b) {
    static const jchar specials[16] = {u'\r', u'\n', u' ', u'@',  u'-', u'0', u'1',      u'5',
                                       u'9',  u' ',  u'-', u'\n', u'A', u'g', u'\u00e9', u'\u20ac'};
    if (b < 0x80) return jchar(b);
    if (b < 0x90) return specials[b - 0x80];
    return jchar(0x100 + (b - 0x90) * 37);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (size < 3) return 0;
    const uint8_t control = data[0];
    const jint width = jint(int8_t(data[1])) * 2;
    const size_t n = data[2];
    if (size < 3 + 8 * n) return 0;
    VMPtr<VMArray<ts::Gob, 1>> glyphs = VMArray<ts::Gob, 1>::create(jint(n));
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* r = data + 3 + 8 * i;
        VMPtr<ts::Gob> g = ts::Gob::create()->construct();
        g->offsetX = jshort(r[0]);
        g->offsetY = jshort(r[1]);
        g->collisionX = jshort(int8_t(r[2]));
        g->collisionY = jshort(int8_t(r[3]));
        g->width = jshort(r[4] & 15);
        g->height = jshort(r[5] & 15);
        g->collisionWidth = jshort(int8_t(r[6]));
        g->collisionHeight = jshort(int8_t(r[7]));
        if (i == 3 && (control & 0x80)) g->collisionHeight = 255;
        g->alphaKind = jbyte(1 + (r[5] >> 6) % 3);
        if (g->width > 0 && g->height > 0) g->image = Image::createImage(g->width, g->height, true, 0x80FFFFFF);
        glyphs->set(jint(i), g);
    }
    std::vector<jchar> chars;
    for (size_t i = 3 + 8 * n; i < size; ++i) chars.push_back(charOf(data[i]));
    VMPtr<java::lang::String> text = java::lang::String::create()->_VM_initLength(chars.data(), jint(chars.size()));

    VMPtr<RichFont> font = RichFont::create()->construct();
    try {
        font->setGlyphs(glyphs);
    } catch (java::lang::IllegalArgumentException*) {
        if (n >= 7) fail("a glyph array of 7 or more glyphs refused");
        vmFuzzInputDone();
        return 0;
    }
    if (n < 7) fail("a glyph array of fewer than 7 glyphs taken");
    static const jint anchors[8] = {20, 17, 24, 68, 65, 72, 36, 33};
    const jint anchor = anchors[(control >> 3) & 7];
    font->setTransform(control & 7);
    if (control & 0x40) font->setAlpha(100);
    VMPtr<Image> image = Image::createImage(64, 64);
    VMPtr<Graphics> g = image->getGraphics();
    VMPtr<VMArray<jint, 1>> rect = VMArray<jint, 1>::create(4);
    font->stringWidth(text);
    font->setTightHeight(true);
    font->stringHeight(text);
    font->getStringBounds(text, 32, 32, rect, anchor);
    font->drawString(g, text, 32, 32, anchor);
    font->drawNumber(g, jint(width) * 1000, 3, 10, 10, anchor);

    VMPtr<WrappedText> block = WrappedText::create()->construct(nullptr);
    const jint count = block->wrap(font, text, width);
    for (jint k = 0; k < count; ++k) {
        const jint start = block->lines->get(2 * k), length = block->lines->get(2 * k + 1);
        for (jint i = start; i < start + length; ++i) {
            if (chars[size_t(i)] == u'\r' || chars[size_t(i)] == u'\n') fail("a line holds a line break");
        }
        if (length > 1 && font->substringWidth(text, start, length) > width) fail("a line wider than the box");
    }
    block->setLineSpacing(jint(int8_t(data[1])) % 4 - 2);
    block->paint(g, 0, -7, anchor);
    vmFuzzInputDone();
    return 0;
}
