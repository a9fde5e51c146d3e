// ts.util.text.RichFont: measures and draws text in a bitmap font or the system font.
#include "ts_util_text_RichFont.h"

#include <algorithm>

#include "java_lang_IllegalArgumentException.h"
#include "ts_TsCanvas.h"

namespace ts::util::text {

using ts::Gob;

VMStatic<VMArray<jbyte, 1>> RichFont::systemFontStyles;
VMStatic<java::lang::StringBuffer> RichFont::numberBuffer;
VMStatic<VMChars> RichFont::scratch;

void RichFont::_VM_clinit() {
    systemFontStyles = nullptr;
    numberBuffer = nullptr;
    scratch = nullptr;
}

namespace {

constexpr jint TRANSFORM_ROT180 = 3;
constexpr jint TRANSFORM_ROT270 = 5;
constexpr jint TRANSFORM_ROT90 = 6;

// Anchor bits.
constexpr jint HCENTER = javax::microedition::lcdui::Graphics::HCENTER;
constexpr jint LEFT = javax::microedition::lcdui::Graphics::LEFT;
constexpr jint RIGHT = javax::microedition::lcdui::Graphics::RIGHT;
constexpr jint TOP = javax::microedition::lcdui::Graphics::TOP;
constexpr jint BOTTOM = javax::microedition::lcdui::Graphics::BOTTOM;
constexpr jint BASELINE = javax::microedition::lcdui::Graphics::BASELINE;

// The characters chars[offset .. offset + length - 1]; an empty range for
// length 0 or less, ArrayIndexOutOfBoundsException for the first index
// outside the array.
const jchar* charRange(VMPtr<VMChars>& chars, jint offset, jint length) {
    if (chars == nullptr) _VM_throwNullPointer();
    if (length <= 0) return chars->elements();
    if (offset < 0) _VM_throwArrayIndexOutOfBoundsException(offset);
    if (jlong(offset) + length > chars->length) {
        _VM_throwArrayIndexOutOfBoundsException(std::max(offset, chars->length));
    }
    return chars->elements() + offset;
}

// The highest glyph top and the lowest glyph bottom of the characters
// (0 and 0 when none has a glyph).
struct Extent {
    jint top = 0, bottom = 0;
};

}  // namespace

// --- construction -------------------------------------------------------------------

VMPtr<RichFont> RichFont::construct() {
    Super::construct();
    systemFont = Font::getFont(0, 0, 0);
    systemFontIndex = 1;
    return this;
}

VMPtr<RichFont> RichFont::construct(VMPtr<RichFont> other) {
    construct();
    if (other == nullptr) _VM_throwNullPointer();
    if (!other->isBitmapFont()) {
        setSystemFont(other->systemFontIndex);
        if (other->colourSet) setColor(other->colour);
    } else {
        setGlyphs(other->getGlyphs());
        setTransform(other->getTransform());
    }
    return this;
}

// --- the scratch array --------------------------------------------------------------

VMPtr<VMChars> RichFont::ensureScratch(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<VMChars> chars = scratch;
    if (chars == nullptr || chars->length < n) {
        chars = VMChars::create(n);
        scratch = chars;
    }
    return chars;
}

VMPtr<VMChars> RichFont::copyToScratch(VMPtr<String> s, jint offset, jint length) {
    if (s == nullptr) _VM_throwNullPointer();
    VMPtr<VMChars> chars = ensureScratch(length);
    s->getChars(offset, offset + length, chars, 0);
    return chars;
}

VMPtr<VMChars> RichFont::copyToScratch(VMPtr<StringBuffer> sb) {
    if (sb == nullptr) _VM_throwNullPointer();
    const jint length = sb->length();
    VMPtr<VMChars> chars = ensureScratch(length);
    sb->getChars(0, length, chars, 0);
    return chars;
}

VMPtr<VMChars> RichFont::copyToScratch(jchar c) {
    VMPtr<VMChars> chars = ensureScratch(1);
    chars->elements()[0] = c;
    return chars;
}

// --- glyphs -------------------------------------------------------------------------

void RichFont::setGlyphs(VMPtr<Gobs> array) {
    if (array != nullptr) {
        // The metrics live in glyphs 0 to 6.
        if (array->length < METRIC_GLYPHS) {
            _VM_throw(java::lang::IllegalArgumentException::create()->construct(
                VM_STR("A bitmap font needs at least 7 glyphs")));
        }
        for (jint i = 0; i < array->length; ++i) {
            if (array->elements()[i] == nullptr) _VM_throwNullPointer();
        }
    }
    glyphs = array;
    if (array == nullptr) return;
    Gob* const* g = array->elements();
    if (g[METRIC_MARKER]->collisionHeight != MARKER_UNCONVERTED) return;
    g[METRIC_MARKER]->collisionHeight = 0;
    jshort code = 0;
    for (jint i = 0; i < array->length; ++i) {
        Gob* glyph = g[i];
        const jint difference = glyph->offsetX * 256 + (glyph->offsetY & 0xFF);
        glyph->offsetX = glyph->collisionX;
        glyph->offsetY = glyph->collisionY;
        code = jshort(code + difference);
        glyph->collisionX = code;
    }
}

VMPtr<RichFont::Gobs> RichFont::getGlyphs() { return glyphs; }

Gob* RichFont::findGlyph(jchar c) {
    Gobs* array = glyphs.target;
    if (array == nullptr) return nullptr;
    if (charMap != nullptr) {
        VMPtr<java::lang::Object> mapped = charMap->get(c);
        if (mapped != nullptr) return dynamic_cast<Gob*>(mapped.get());
    }
    Gob* const* g = array->elements();
    jint lo = 0, hi = array->length - 1;
    while (lo <= hi) {
        const jint mid = (lo + hi) >> 1;
        const jchar code = jchar(g[mid]->collisionX);
        if (code == c) return g[mid];
        if (code < c)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return nullptr;
}

VMPtr<Gob> RichFont::getGlyph(jchar c) { return findGlyph(c); }

void RichFont::mapChar(jint c, VMPtr<Gob> glyph) {
    if (charMap == nullptr) charMap = IntHashtable::create()->construct(128);
    charMap->put(c, glyph);
}

// --- system font ----------------------------------------------------------------------

void RichFont::setSystemFont(jint index) {
    _VM_ensureInitialized(_VM_classRecord);
    glyphs = nullptr;
    if (index == systemFontIndex) return;
    if (systemFontStyles == nullptr) {
        static const jbyte styles[6] = {8, 0, 16, 9, 1, 17};
        VMPtr<VMArray<jbyte, 1>> table = VMArray<jbyte, 1>::create(6);
        for (jint i = 0; i < 6; ++i) (*table)[i] = styles[i];
        systemFontStyles = table;
    }
    const jint b = systemFontStyles->get(index);  // AIOOBE for an index outside 0 to 5
    systemFontIndex = index;
    const jint face = b & 0x60, style = b & 0x07, size = b & 0x18;
    VMPtr<Font> font = Font::getFont(face, style, size);
    static const jint faces[3] = {Font::FACE_SYSTEM, Font::FACE_MONOSPACE, Font::FACE_PROPORTIONAL};
    for (jint i = 0; font == nullptr && i < 3; ++i) {
        if (faces[i] != face) font = Font::getFont(faces[i], style, size);
    }
    if (font != nullptr) systemFont = font;
}

jint RichFont::getSystemFontIndex() { return systemFontIndex; }

void RichFont::setColor(jint rgb) {
    colour = rgb & 0xFFFFFF;
    colourSet = true;
}

// --- metrics ----------------------------------------------------------------------------

jboolean RichFont::isBitmapFont() { return glyphs != nullptr; }

jboolean RichFont::alignsByAdvance() { return glyphs != nullptr && metric(METRIC_ALIGN_BY_ADVANCE) != 0; }

jint RichFont::getHeight() { return glyphs != nullptr ? metric(METRIC_HEIGHT) : systemFont->getHeight(); }

jint RichFont::getBaselinePosition() {
    return glyphs != nullptr ? metric(METRIC_BASELINE) : systemFont->getBaselinePosition();
}

jint RichFont::getLineHeight() { return glyphs != nullptr ? metric(METRIC_LINE_HEIGHT) : getHeight(); }

jint RichFont::getExtraMetric() { return glyphs != nullptr ? metric(METRIC_EXTRA) : 0; }

jint RichFont::getAlpha() { return glyphs != nullptr ? glyphs->get(0)->getAlpha() : 255; }

void RichFont::setTransform(jint value) { transform = value; }

jint RichFont::getTransform() { return transform; }

void RichFont::setTightHeight(jboolean on) { tightHeight = on; }

jint RichFont::getCharAscent(jchar c) {
    Gob* glyph = findGlyph(c);
    if (glyph == nullptr) return 0;
    return getBaselinePosition() - glyph->offsetY;
}

jint RichFont::getCharDescent(jchar c) {
    Gob* glyph = findGlyph(c);
    if (glyph == nullptr) return 0;
    return std::max(0, glyph->height - (getBaselinePosition() - glyph->offsetY));
}

// --- widths -------------------------------------------------------------------------------

jint RichFont::charsWidth(VMPtr<VMChars> chars, jint offset, jint length) {
    if (glyphs == nullptr) return length != 0 ? systemFont->charsWidth(chars, offset, length) : 0;
    const jchar* c = charRange(chars, offset, length);
    const jint missing = metric(METRIC_MISSING_ADVANCE);
    jint width = 0;
    for (jint i = 0; i < length; ++i) {
        Gob* glyph = findGlyph(c[i]);
        width += glyph != nullptr ? glyph->collisionWidth : missing;
    }
    return width;
}

jint RichFont::firstOffsetX(VMPtr<VMChars> chars, jint offset) {
    if (chars == nullptr) _VM_throwNullPointer();
    if (offset < 0 || offset >= chars->length) return 0;
    Gob* glyph = findGlyph(chars->elements()[offset]);
    return glyph != nullptr ? glyph->offsetX : 0;
}

jint RichFont::inkWidth(const jchar* chars, jint length, jint f) {
    const jint missing = metric(METRIC_MISSING_ADVANCE);
    jint pen = 0, right = 0;
    for (jint i = 0; i < length; ++i) {
        Gob* glyph = findGlyph(chars[i]);
        if (glyph != nullptr) {
            right = pen + glyph->offsetX + glyph->width;
            pen += glyph->collisionWidth;
        } else {
            pen += missing;
        }
    }
    return right - std::min(0, f);
}

jint RichFont::substringWidth(VMPtr<String> s, jint offset, jint length) {
    return charsWidth(copyToScratch(s, offset, length), 0, length);
}

jint RichFont::stringWidth(VMPtr<String> s) {
    if (s == nullptr) _VM_throwNullPointer();
    return substringWidth(s, 0, s->length());
}

jint RichFont::charWidth(jchar c) { return charsWidth(copyToScratch(c), 0, 1); }

jint RichFont::stringBufferWidth(VMPtr<StringBuffer> sb) {
    VMPtr<VMChars> chars = copyToScratch(sb);
    return charsWidth(chars, 0, sb->length());
}

// --- heights ------------------------------------------------------------------------------

namespace {

Extent extentOf(RichFont& font, const jchar* chars, jint length) {
    Extent e;
    bool any = false;
    for (jint i = 0; i < length; ++i) {
        Gob* glyph = font.findGlyph(chars[i]);
        if (glyph == nullptr) continue;
        const jint top = glyph->offsetY, bottom = glyph->offsetY + glyph->height;
        if (!any || top < e.top) e.top = top;
        if (!any || bottom > e.bottom) e.bottom = bottom;
        any = true;
    }
    return e;
}

}  // namespace

jint RichFont::charsHeight(VMPtr<VMChars> chars, jint offset, jint length) {
    const jboolean tight = tightHeight;
    tightHeight = false;
    if (glyphs == nullptr) return systemFont->getHeight();
    const jchar* c = charRange(chars, offset, length);
    const Extent e = extentOf(*this, c, length);
    return e.bottom - (tight ? e.top : 0);
}

jint RichFont::substringHeight(VMPtr<String> s, jint offset, jint length) {
    return charsHeight(copyToScratch(s, offset, length), 0, length);
}

jint RichFont::stringHeight(VMPtr<String> s) {
    if (s == nullptr) _VM_throwNullPointer();
    return substringHeight(s, 0, s->length());
}

jint RichFont::charHeight(jchar c) { return charsHeight(copyToScratch(c), 0, 1); }

jint RichFont::stringBufferHeight(VMPtr<StringBuffer> sb) {
    VMPtr<VMChars> chars = copyToScratch(sb);
    return charsHeight(chars, 0, sb->length());
}

// --- bounds -------------------------------------------------------------------------------

void RichFont::getCharsBounds(VMPtr<VMChars> chars, jint offset, jint length, jint x, jint y, VMPtr<VMInts> rect,
                              jint anchor) {
    if (rect == nullptr) _VM_throwNullPointer();
    jint f = 0, w, top = 0, h;
    // Bounds follow the drawing, which turns bitmap text only.
    const jint t = glyphs != nullptr ? transform : 0;
    if (glyphs != nullptr) {
        const jchar* c = charRange(chars, offset, length);
        f = firstOffsetX(chars, offset);
        w = inkWidth(c, length, f);
        const Extent e = extentOf(*this, c, length);
        top = e.top;
        h = e.bottom - top;
    } else {
        w = charsWidth(chars, offset, length);
        h = systemFont->getHeight();
    }
    jint hx = f;
    if (anchor & (HCENTER | RIGHT)) hx = f - (w >> (anchor & 1));
    if (t == TRANSFORM_ROT180 || t == TRANSFORM_ROT90) hx = ((anchor & LEFT) ? hx - 2 * f : -hx) - w;
    jint vy = top;
    if (anchor & BASELINE)
        vy = top - getBaselinePosition();
    else if (anchor & BOTTOM)
        vy = top - getHeight();
    if (t == TRANSFORM_ROT180 || t == TRANSFORM_ROT270) vy = ((anchor & TOP) ? vy - 2 * top : -vy) - h;
    if (t & 4) {
        rect->set(0, x + vy);
        rect->set(1, y + hx);
        rect->set(2, h);
        rect->set(3, w);
    } else {
        rect->set(0, x + hx);
        rect->set(1, y + vy);
        rect->set(2, w);
        rect->set(3, h);
    }
}

void RichFont::getSubstringBounds(VMPtr<String> s, jint offset, jint length, jint x, jint y, VMPtr<VMInts> rect,
                                  jint anchor) {
    getCharsBounds(copyToScratch(s, offset, length), 0, length, x, y, rect, anchor);
}

void RichFont::getStringBounds(VMPtr<String> s, jint x, jint y, VMPtr<VMInts> rect, jint anchor) {
    if (s == nullptr) _VM_throwNullPointer();
    getSubstringBounds(s, 0, s->length(), x, y, rect, anchor);
}

void RichFont::getStringBufferBounds(VMPtr<StringBuffer> sb, jint x, jint y, VMPtr<VMInts> rect, jint anchor) {
    VMPtr<VMChars> chars = copyToScratch(sb);
    getCharsBounds(chars, 0, sb->length(), x, y, rect, anchor);
}

void RichFont::getCharBounds(jchar c, jint x, jint y, VMPtr<VMInts> rect, jint anchor) {
    getCharsBounds(copyToScratch(c), 0, 1, x, y, rect, anchor);
}

// --- drawing ------------------------------------------------------------------------------

void RichFont::drawChars(VMPtr<Graphics> g, VMPtr<VMChars> chars, jint offset, jint length, jint x, jint y,
                         jint anchor) {
    const bool bitmap = glyphs != nullptr;
    const jint t = bitmap ? transform : 0;
    const bool vertical = (t & 4) != 0;
    const bool backwards = t == TRANSFORM_ROT180 || t == TRANSFORM_ROT90;

    jint d = 0;
    if (anchor & BASELINE)
        d = getBaselinePosition();
    else if (anchor & BOTTOM)
        d = getHeight();
    if (t == TRANSFORM_ROT180)
        y += d;
    else if (t == TRANSFORM_ROT270)
        x += d;
    else if (t == TRANSFORM_ROT90)
        x -= d;
    else
        y -= d;

    if (!bitmap) {
        if (length == 0) return;
        if (g == nullptr) _VM_throwNullPointer();
        if (anchor & (HCENTER | RIGHT)) x -= charsWidth(chars, offset, length) >> (anchor & 1);
        if (g->getFont().get() != systemFont.get()) g->setFont(systemFont);
        struct RestoreColour {
            Graphics* g;
            jint old;
            bool changed;
            ~RestoreColour() {
                if (changed) g->setColor(old);
            }
        } restore{g.get(), 0, false};
        if (colourSet) {
            restore.old = g->getColor() & 0xFFFFFF;
            if (restore.old != colour) {
                g->setColor(colour);
                restore.changed = true;
            }
        }
        g->drawChars(chars, offset, length, x, y, TOP | LEFT);
        return;
    }

    const jchar* c = charRange(chars, offset, length);
    if (anchor & (HCENTER | RIGHT)) {
        const jint w =
            alignsByAdvance() ? charsWidth(chars, offset, length) : inkWidth(c, length, firstOffsetX(chars, offset));
        jint a = w >> (anchor & 1);
        if (backwards) a = -(a + (anchor & 1 & w));
        if (vertical)
            y -= a;
        else
            x -= a;
    }
    const jint missing = metric(METRIC_MISSING_ADVANCE);
    for (jint i = 0; i < length; ++i) {
        Gob* glyph = findGlyph(c[i]);
        jint step = missing;
        if (glyph != nullptr) {
            // A glyph without ink (the space) has no image to draw.
            if (glyph->width > 0 && glyph->height > 0) glyph->paint(g, x, y, t);
            step = glyph->collisionWidth;
        }
        if (backwards) step = -step;
        if (vertical)
            y += step;
        else
            x += step;
    }
}

void RichFont::drawString(VMPtr<Graphics> g, VMPtr<String> s, jint x, jint y, jint anchor) {
    if (s == nullptr) _VM_throwNullPointer();
    drawSubstring(g, s, 0, s->length(), x, y, anchor);
}

void RichFont::drawSubstring(VMPtr<Graphics> g, VMPtr<String> s, jint offset, jint length, jint x, jint y,
                             jint anchor) {
    drawChars(g, copyToScratch(s, offset, length), 0, length, x, y, anchor);
}

void RichFont::drawStringBuffer(VMPtr<Graphics> g, VMPtr<StringBuffer> sb, jint x, jint y, jint anchor) {
    VMPtr<VMChars> chars = copyToScratch(sb);
    drawChars(g, chars, 0, sb->length(), x, y, anchor);
}

void RichFont::drawChar(VMPtr<Graphics> g, jchar c, jint x, jint y, jint anchor) {
    drawChars(g, copyToScratch(c), 0, 1, x, y, anchor);
}

void RichFont::drawNumber(VMPtr<Graphics> g, jint value, jint minDigits, jint x, jint y, jint anchor) {
    _VM_ensureInitialized(_VM_classRecord);
    if (numberBuffer == nullptr) numberBuffer = StringBuffer::create()->construct(8);
    VMPtr<StringBuffer> sb = numberBuffer;
    sb->setLength(0);
    TsCanvas::insertNumber(sb, value, minDigits, 0);
    drawStringBuffer(g, sb, x, y, anchor);
}

// --- alpha --------------------------------------------------------------------------------

void RichFont::setAlpha(jint alpha) {
    VMPtr<Gobs> array = glyphs;
    if (array == nullptr) return;
    if (array->get(0)->getAlpha() == alpha) return;
    for (jint i = 0; i < array->length; ++i) {
        VMPtr<Gob> glyph = array->get(i);
        if (!glyph->isAlphaImage()) array->set(i, glyph->toAlphaImage());
    }
    for (jint i = 0; i < array->length; ++i) array->get(i)->setAlpha(alpha);
}

}  // namespace ts::util::text

VM_REGISTER_CLASS(ts::util::text::RichFont, .name = "ts.util.text.RichFont",
                  .staticInit = ts::util::text::RichFont::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<ts::util::text::RichFont>)
