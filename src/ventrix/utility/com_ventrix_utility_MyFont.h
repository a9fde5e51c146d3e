// com.ventrix.utility.MyFont: the game's text resources: the text table, a
// text renderer and the bitmap fonts, each a glyph array loaded from a
// resource on first use. Using a font hands its glyphs to the renderer;
// the game sets the resource ids of the table and of the fonts at start-up.
//
// Font operations do nothing before the font resource ids are set, after
// release, or for a font number outside the ids.
#pragma once

#include "VM.h"
#include "ts_Gob.h"
#include "ts_util_text_RichFont.h"
#include "ts_util_text_Translation.h"

namespace com::ventrix::utility {

class MyFont : public virtual java::lang::Object {
    VM_DECLARE_CLASS(MyFont, java::lang::Object)

public:
    static VMStatic<MyFont> instance;
    // Per font number the resource id of its glyph array; null until set.
    static VMStatic<VMInts> fontResourceIds;

    VMField<ts::util::text::Translation> texts;  // loaded by loadTexts
    VMField<ts::util::text::RichFont> richFont;  // draws with the font in use; null after release
    VMField<VMArray<ts::Gob, 2>> fontGobs;       // glyphs per font number
    VMField<VMInts> fontParameters;              // kept for the callers
    jint textResourceId = 0;                     // -1 after release
    jint currentFont = 0;                        // resource id of the glyphs the renderer holds; -1 after release
    // Per font number the resource id whose glyphs fontGobs holds, -1 when
    // unloaded.
    VMField<VMInts> loadedFontIds;

    static void _VM_clinit();
    // A renderer over the system font.
    VMPtr<MyFont> construct();

    // The singleton, made on first use.
    static VMPtr<MyFont> getInstance();

    // A copy of values becomes the font parameters.
    virtual void setFontParameters(VMPtr<VMInts> values);
    // Ends the object's use for drawing: every font counts as unloaded, the
    // renderer and the text table go.
    virtual void release();
    // Makes font number font the renderer's glyph set, loading its glyphs
    // first when they are not loaded. A font whose resource is already the
    // renderer's changes nothing.
    virtual void useFont(jint font);
    // A copy of ids becomes the font resource ids.
    virtual void setFontResourceIds(VMPtr<VMInts> ids);
    // 0 before setFontParameters.
    virtual jint getFontParameter(jint index);
    virtual jint getTextResourceId();
    // Reads the glyphs of font number font unless they are loaded.
    virtual void loadFont(jint font);
    // The text table of resource id.
    virtual void loadTexts(jint resourceId);
    // Drops the glyphs of font number font; the next use reads them again.
    virtual void unloadFont(jint font);

    void markReferences(uint32_t bits) override;

private:
    // True when font numbers a font of the resource ids and the object is
    // not released.
    bool isFont(jint font);
};

}  // namespace com::ventrix::utility
