// ts.util.text.RichFont: measures and draws text in a bitmap font (glyphs
// that are image parts sorted by character code) or in the platform's system
// font, so that callers need not know which kind is in use.
//
// A bitmap font keeps its data in the collision fields of its glyphs:
// collisionX the character code (unsigned 16-bit), collisionWidth the
// advance, and collisionHeight of glyphs 0 to 6 the font's metrics (height,
// baseline, the advance of a character without glyph, the conversion marker,
// line height, an extra metric, the align-by-advance flag). As loaded from a
// resource, offsetX and offsetY hold the difference of the character code to
// the previous glyph's and collisionX and collisionY the real offsets;
// setGlyphs converts the array in place once (the marker in glyph 3 goes from
// 255 to 0), so fonts may share one array, its alpha included.
//
// Strings and string buffers are copied into one scratch char[] shared by
// every font before they are measured or drawn: fonts are used on the canvas
// thread only.
#pragma once

#include "VM.h"
#include "java_lang_String.h"
#include "java_lang_StringBuffer.h"
#include "javax_microedition_lcdui_Font.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "ts_Gob.h"
#include "ts_util_IntHashtable.h"

namespace ts::util::text {

class RichFont : public virtual java::lang::Object {
    VM_DECLARE_CLASS(RichFont, java::lang::Object)

public:
    using Gobs = VMArray<ts::Gob, 1>;
    using Graphics = javax::microedition::lcdui::Graphics;
    using Font = javax::microedition::lcdui::Font;
    using String = java::lang::String;
    using StringBuffer = java::lang::StringBuffer;

    // Glyphs holding the metrics, and what each holds.
    static constexpr jint METRIC_HEIGHT = 0;
    static constexpr jint METRIC_BASELINE = 1;
    static constexpr jint METRIC_MISSING_ADVANCE = 2;
    static constexpr jint METRIC_MARKER = 3;
    static constexpr jint METRIC_LINE_HEIGHT = 4;
    static constexpr jint METRIC_EXTRA = 5;
    static constexpr jint METRIC_ALIGN_BY_ADVANCE = 6;
    static constexpr jint METRIC_GLYPHS = 7;  // a bitmap font has at least these
    static constexpr jint MARKER_UNCONVERTED = 255;

    jint systemFontIndex = 0;
    jint transform = 0;
    VMField<Gobs> glyphs;  // null for a system font
    jboolean tightHeight = false;
    jint colour = 0;
    jboolean colourSet = false;
    VMField<IntHashtable> charMap;
    VMField<Font> systemFont;

    // Font.getFont arguments per system font index (face | style | size).
    static VMStatic<VMArray<jbyte, 1>> systemFontStyles;
    static VMStatic<StringBuffer> numberBuffer;  // drawNumber's
    static VMStatic<VMChars> scratch;            // shared by every font

    // The system font of index 1 (plain, medium).
    VMPtr<RichFont> construct();
    // A copy of other: its system font and colour, or its glyph array
    // (shared) and transform. Alpha and extra mappings are not copied.
    VMPtr<RichFont> construct(VMPtr<RichFont> other);

    virtual jboolean alignsByAdvance();
    // From the top of the line (or, after setTightHeight(true), once, from
    // the highest glyph top) to the lowest glyph bottom.
    virtual jint charsHeight(VMPtr<VMChars> chars, jint offset, jint length);
    virtual jint getHeight();
    virtual jint substringHeight(VMPtr<String> s, jint offset, jint length);
    virtual jint stringHeight(VMPtr<String> s);
    virtual jint charHeight(jchar c);
    virtual jint stringBufferHeight(VMPtr<StringBuffer> sb);
    virtual void setTransform(jint transform);
    virtual jboolean isBitmapFont();
    virtual jint getBaselinePosition();
    virtual jint stringBufferWidth(VMPtr<StringBuffer> sb);
    // The sum of the advances.
    virtual jint charsWidth(VMPtr<VMChars> chars, jint offset, jint length);
    virtual jint substringWidth(VMPtr<String> s, jint offset, jint length);
    virtual jint charWidth(jchar c);
    virtual jint stringWidth(VMPtr<String> s);
    // The ink box of the text as drawn at (x, y) with the anchor: rect[0..3]
    // = x, y, width, height.
    virtual void getStringBounds(VMPtr<String> s, jint x, jint y, VMPtr<VMInts> rect, jint anchor);
    virtual void getSubstringBounds(VMPtr<String> s, jint offset, jint length, jint x, jint y, VMPtr<VMInts> rect,
                                    jint anchor);
    virtual void getCharsBounds(VMPtr<VMChars> chars, jint offset, jint length, jint x, jint y, VMPtr<VMInts> rect,
                                jint anchor);
    virtual void getStringBufferBounds(VMPtr<StringBuffer> sb, jint x, jint y, VMPtr<VMInts> rect, jint anchor);
    virtual void getCharBounds(jchar c, jint x, jint y, VMPtr<VMInts> rect, jint anchor);
    virtual void drawString(VMPtr<Graphics> g, VMPtr<String> s, jint x, jint y, jint anchor);
    virtual void drawStringBuffer(VMPtr<Graphics> g, VMPtr<StringBuffer> sb, jint x, jint y, jint anchor);
    // Bitmap fonts draw under the transform; the system font sets itself
    // (and the colour, when one is set, for the time of the call) on g.
    virtual void drawChars(VMPtr<Graphics> g, VMPtr<VMChars> chars, jint offset, jint length, jint x, jint y,
                           jint anchor);
    virtual void drawSubstring(VMPtr<Graphics> g, VMPtr<String> s, jint offset, jint length, jint x, jint y,
                               jint anchor);
    virtual void drawChar(VMPtr<Graphics> g, jchar c, jint x, jint y, jint anchor);
    virtual void setTightHeight(jboolean on);
    // Bitmap fonts: every glyph of the (shared) array becomes translucent.
    virtual void setAlpha(jint alpha);
    // value in decimal, '-' first when negative, zero-padded to minDigits.
    virtual void drawNumber(VMPtr<Graphics> g, jint value, jint minDigits, jint x, jint y, jint anchor);
    // Null makes the font a system font again. An array of fewer than seven
    // glyphs is refused with IllegalArgumentException (the font unchanged);
    // a null glyph with NullPointerException before anything is converted.
    virtual void setGlyphs(VMPtr<Gobs> glyphs);
    virtual jint getTransform();
    // Also drops the glyphs.
    virtual void setSystemFont(jint index);
    virtual jint getCharDescent(jchar c);
    virtual jint getSystemFontIndex();
    virtual VMPtr<Gobs> getGlyphs();
    virtual jint getLineHeight();
    virtual jint getCharAscent(jchar c);
    // The glyph of c (an extra mapping first), or null.
    virtual VMPtr<ts::Gob> getGlyph(jchar c);
    virtual void mapChar(jint c, VMPtr<ts::Gob> glyph);
    virtual jint getExtraMetric();
    virtual jint getAlpha();
    virtual void setColor(jint rgb);

    // Without the checks of the virtual operations, for this class's own use.
    ts::Gob* findGlyph(jchar c);
    jint metric(jint index) { return glyphs.target->elements()[index]->collisionHeight; }
    // The width from the first ink to the last (for alignment and bounds).
    jint inkWidth(const jchar* chars, jint length, jint firstOffsetX);
    // The first character's glyph offset x (0 without glyph or past the end).
    jint firstOffsetX(VMPtr<VMChars> chars, jint offset);

    // The shared scratch array, at least n long.
    static VMPtr<VMChars> ensureScratch(jint n);
    static VMPtr<VMChars> copyToScratch(VMPtr<String> s, jint offset, jint length);
    static VMPtr<VMChars> copyToScratch(VMPtr<StringBuffer> sb);
    static VMPtr<VMChars> copyToScratch(jchar c);
    static void _VM_clinit();

    void markReferences(uint32_t bits) override {
        _VM_markRef(glyphs, bits);
        _VM_markRef(charMap, bits);
        _VM_markRef(systemFont, bits);
    }
};

}  // namespace ts::util::text
