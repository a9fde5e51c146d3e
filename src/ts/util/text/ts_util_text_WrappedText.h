// ts.util.text.WrappedText: one text broken into lines that fit a width in a
// font, kept as a table of line starts and lengths, and painted line by line
// into a box, only the lines inside the Graphics clip.
//
// Lines break after a break character (the default ones: space, '@', '-'),
// a space at the break being consumed, and at hard line breaks ('\n', '\r',
// "\r\n" once); a word wider than the box is split where it overflows. A
// hyphen right before a digit is a minus sign and does not break. Every line
// holds at least one character, even one wider than the box.
#pragma once

#include "VM.h"
#include "java_lang_String.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "ts_TsCanvas.h"
#include "ts_util_text_RichFont.h"

namespace ts::util::text {

class WrappedText : public virtual java::lang::Object {
    VM_DECLARE_CLASS(WrappedText, java::lang::Object)

public:
    using String = java::lang::String;
    using Graphics = javax::microedition::lcdui::Graphics;

    // Line starts and lengths are 16-bit: longer texts are refused.
    static constexpr jint MAX_TEXT_LENGTH = 32767;

    VMField<VMChars> breakChars;
    VMField<String> text;
    jint maxWidth = 0;
    VMField<VMShorts> lines;  // start, length per line
    jint lineSpacing = 0;
    VMField<RichFont> font;
    jint lineHeight = 0;
    VMField<ts::TsCanvas> canvas;
    jint alpha = 0;

    // Space, '@', '-'.
    static VMStatic<VMChars> defaultBreakChars;
    static void _VM_clinit();

    VMPtr<WrappedText> construct(VMPtr<ts::TsCanvas> canvas);

    // (line height + spacing) x line count.
    virtual jint getHeight();
    virtual VMPtr<VMArray<String, 1>> getLines();
    // In a copy of the canvas's default font.
    virtual jint wrap(VMPtr<String> text, jint maxWidth);
    // Returns the line count. IllegalArgumentException for a text longer
    // than 32767 characters (nothing changes).
    virtual jint wrap(VMPtr<RichFont> font, VMPtr<String> text, jint maxWidth);
    virtual void setLineSpacing(jint pixels);
    // Applied to a bitmap font's (shared) glyphs when painting.
    virtual void setAlpha(jint alpha);
    virtual VMPtr<String> getText();
    virtual jint getLineCount();
    virtual VMPtr<VMChars> getBreakChars();
    // Empty: no text, no lines, spacing 0, the default break characters.
    virtual void reset();
    // (x, y) is the box's top-left; HCENTER centres the lines on the box,
    // RIGHT aligns them to its right edge.
    virtual void paint(VMPtr<Graphics> g, jint x, jint y, jint anchor);
    virtual jint getLineSpacing();
    virtual jint getLineStart(jint line);
    virtual jint getLineStep();
    virtual jint getAlpha();
    virtual jint getMaxWidth();
    // The array itself is kept.
    virtual void setBreakChars(VMPtr<VMChars> chars);

    void markReferences(uint32_t bits) override {
        _VM_markRef(breakChars, bits);
        _VM_markRef(text, bits);
        _VM_markRef(lines, bits);
        _VM_markRef(font, bits);
        _VM_markRef(canvas, bits);
    }

private:
    // One pass of the line breaker; fills out (when not null) and returns the
    // line count.
    jint breakLines(RichFont* font, String* text, jint maxWidth, jshort* out);
};

}  // namespace ts::util::text
