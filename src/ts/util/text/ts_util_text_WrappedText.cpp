// ts.util.text.WrappedText: one text broken into lines that fit a width, painted line by line.
#include "ts_util_text_WrappedText.h"

#include <algorithm>

#include "java_lang_IllegalArgumentException.h"
#include "ts_TsCanvas.h"
#include "ts_util_text_StringHelper.h"

namespace ts::util::text {

VMStatic<VMChars> WrappedText::defaultBreakChars;

void WrappedText::_VM_clinit() {
    VMPtr<VMChars> chars = VMChars::create(3);
    (*chars)[0] = u' ';
    (*chars)[1] = u'@';
    (*chars)[2] = u'-';
    defaultBreakChars = chars;
}

VMPtr<WrappedText> WrappedText::construct(VMPtr<ts::TsCanvas> owner) {
    Super::construct();
    canvas = owner;
    alpha = 255;
    reset();
    return this;
}

void WrappedText::reset() {
    text = nullptr;
    lineSpacing = 0;
    lineHeight = 0;
    maxWidth = 0;
    font = nullptr;
    lines = VMShorts::create(0);
    breakChars = defaultBreakChars;
}

jint WrappedText::getHeight() { return (lineHeight + lineSpacing) * getLineCount(); }

VMPtr<VMArray<java::lang::String, 1>> WrappedText::getLines() {
    const jint count = getLineCount();
    VMPtr<VMArray<String, 1>> result = VMArray<String, 1>::create(count);
    for (jint k = 0; k < count; ++k) {
        const jint start = lines->get(2 * k), length = lines->get(2 * k + 1);
        result->set(k, text->substring(start, start + length));
    }
    return result;
}

jint WrappedText::wrap(VMPtr<String> s, jint width) {
    if (canvas == nullptr) _VM_throwNullPointer();
    VMPtr<RichFont> copy = RichFont::create()->construct(canvas->getDefaultFont());
    return wrap(copy, s, width);
}

jint WrappedText::breakLines(RichFont* f, String* s, jint width, jshort* out) {
    const jint n = s->length();
    const jchar* c = s->_VM_chars();
    VMPtr<VMChars> breaks = breakChars;
    VMPtr<String> str(s);
    jint count = 0;
    jint lineStart = 0;
    while (lineStart < n) {
        jint i = lineStart, used = 0, skip = 1;
        bool atBreak = false;
        // Also with a negative width: the scan stops at the first character
        // that does not fit, and every line takes at least one.
        while (i < n) {
            jchar ch = c[i];
            if (i == lineStart && ch == u' ') {
                ++lineStart;
                ++i;
                if (i == n) break;
                ch = c[i];
            }
            if (ch == u'\n' || ch == u'\r') {
                atBreak = true;
                skip = (ch == u'\r' && i + 1 < n && c[i + 1] == u'\n') ? 2 : 1;
                break;
            }
            used += f->charWidth(ch);
            if (used > width) break;
            ++i;
        }
        if (!atBreak && i < n) {
            jint best = -1;
            const jint breakCount = breaks != nullptr ? breaks->length : 0;
            for (jint k = 0; k < breakCount; ++k) {
                const jchar b = breaks->elements()[k];
                const jint p = StringHelper::lastIndexOf(str, b, lineStart + 1, i);
                if (p > best) {
                    // A minus sign before a number does not break.
                    if (b == u'-' && p + 1 < n && c[p + 1] >= u'0' && c[p + 1] <= u'9') continue;
                    best = p;
                }
            }
            if (best != -1 && lineStart < best && best < i) {
                if (c[best] == u' ') {
                    i = best;
                    atBreak = true;
                } else {
                    i = best + 1;
                }
            }
            // The first character alone is wider than the box: it makes the
            // line, and a line break right after it ends the line as usual.
            if (i == lineStart) {
                i = lineStart + 1;
                if (i < n && (c[i] == u'\n' || c[i] == u'\r')) {
                    atBreak = true;
                    skip = (c[i] == u'\r' && i + 1 < n && c[i + 1] == u'\n') ? 2 : 1;
                }
            }
        }
        if (out != nullptr) {
            out[2 * count] = jshort(lineStart);
            out[2 * count + 1] = jshort(i - lineStart);
        }
        ++count;
        lineStart = i + (atBreak ? skip : 0);
    }
    return count;
}

jint WrappedText::wrap(VMPtr<RichFont> f, VMPtr<String> s, jint width) {
    if (f == nullptr || s == nullptr) _VM_throwNullPointer();
    if (s->length() > MAX_TEXT_LENGTH) {
        _VM_throw(java::lang::IllegalArgumentException::create()->construct(
            VM_STR("Text too long to wrap (more than 32767 characters)")));
    }
    const jint height = f->getHeight();
    // The first pass counts the lines, the second fills the table.
    const jint count = breakLines(f.get(), s.get(), width, nullptr);
    VMPtr<VMShorts> table = VMShorts::create(2 * count);
    breakLines(f.get(), s.get(), width, table->elements());
    text = s;
    maxWidth = width;
    font = f;
    lineHeight = height;
    lines = table;
    return count;
}

void WrappedText::paint(VMPtr<Graphics> g, jint x, jint y, jint anchor) {
    if (text == nullptr) return;
    VMPtr<RichFont> f = font;
    if (f->isBitmapFont() && alpha != 255) {
        VMPtr<RichFont::Gobs> glyphs = f->getGlyphs();
        ts::Gob::toAlphaImages(glyphs);
        for (jint i = 0; i < glyphs->length; ++i) glyphs->get(i)->setAlpha(alpha);
    }
    if (anchor & Graphics::HCENTER)
        x += maxWidth >> 1;
    else if (anchor & Graphics::RIGHT)
        x += maxWidth;
    if (g == nullptr) _VM_throwNullPointer();
    const jint step = getLineStep();
    const jint clipTop = g->getClipY();
    const jint clipBottom = clipTop + g->getClipHeight();
    const jint count = getLineCount();
    jint first = 0;
    // Lines above the clip are skipped by one division (a step below 1
    // starts at the first line).
    if (y < clipTop && step >= 1) {
        first = jint(std::min<jlong>((jlong(clipTop) - y) / step, count));
        y += first * step;
    }
    VMPtr<VMShorts> table = lines;
    VMPtr<String> s = text;
    for (jint k = first; k < count && y <= clipBottom; ++k) {
        const jint start = table->get(2 * k), length = table->get(2 * k + 1);
        if (length > 0) f->drawSubstring(g, s, start, length, x, y, anchor);
        y += step;
    }
}

void WrappedText::setLineSpacing(jint pixels) { lineSpacing = pixels; }

jint WrappedText::getLineSpacing() { return lineSpacing; }

void WrappedText::setAlpha(jint value) { alpha = value; }

jint WrappedText::getAlpha() { return alpha; }

VMPtr<java::lang::String> WrappedText::getText() { return text; }

jint WrappedText::getLineCount() { return lines->length >> 1; }

VMPtr<VMChars> WrappedText::getBreakChars() { return breakChars; }

void WrappedText::setBreakChars(VMPtr<VMChars> chars) { breakChars = chars; }

jint WrappedText::getLineStart(jint line) { return lines->get(2 * line); }

jint WrappedText::getLineStep() { return lineHeight + lineSpacing; }

jint WrappedText::getMaxWidth() { return maxWidth; }

}  // namespace ts::util::text

VM_REGISTER_CLASS(ts::util::text::WrappedText, .name = "ts.util.text.WrappedText",
                  .staticInit = ts::util::text::WrappedText::_VM_clinit)
