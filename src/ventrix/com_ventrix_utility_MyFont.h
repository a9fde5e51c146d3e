// com.ventrix.utility.MyFont: the game's text resources: the text table, a
// text renderer and the bitmap fonts, each a glyph array loaded from a
// resource on first use. Selecting a font hands its glyphs to the renderer;
// the game sets the resource ids of the table and of the fonts at start-up.
#pragma once

#include "VM.h"
#include "ts_Gob.h"
#include "ts_util_text_RichFont.h"
#include "ts_util_text_Translation.h"

namespace com::ventrix::utility {

class MyFont : public virtual java::lang::Object {
    VM_DECLARE_CLASS(MyFont, java::lang::Object)

public:
    using Ints = VMArray<jint, 1>;

    static VMStatic<MyFont> instance;
    // Per font number the resource id of its glyph array; null until set.
    static VMStatic<Ints> fontResourceIds;

    VMField<ts::util::text::Translation> texts;   // loaded by loadTexts
    VMField<ts::util::text::RichFont> richFont;   // draws with the selected font
    VMField<VMArray<ts::Gob, 2>> fontGobs;        // glyphs per font number
    jint textResourceId = 0;
    jint currentFont = 0;  // resource id of the glyphs the renderer holds
    // Per font number the resource id whose glyphs fontGobs holds, -1 when
    // unloaded.
    VMField<Ints> loadedFontIds;

    static void _VM_clinit();
    // A renderer over the system font.
    VMPtr<MyFont> construct();

    // The singleton, made on first use.
    static VMPtr<MyFont> getInstance();

    // Makes font number index the renderer's glyph set, loading its glyphs
    // first when they are not loaded. The font already selected changes
    // nothing. Needs the font resource ids.
    virtual void selectFont(jint index);
    // A copy of ids becomes the font resource ids.
    virtual void setFontResourceIds(VMPtr<Ints> ids);
    // Reads the glyphs of font number index unless they are loaded; nothing
    // without font resource ids.
    virtual void loadFont(jint index);
    // The text table of resource id.
    virtual void loadTexts(jint resourceId);

    void markReferences(uint32_t bits) override {
        _VM_markRef(texts, bits);
        _VM_markRef(richFont, bits);
        _VM_markRef(fontGobs, bits);
        _VM_markRef(loadedFontIds, bits);
    }
};

}  // namespace com::ventrix::utility
