// com.ventrix.ui.LoadingPage: the one loading screen. While a scene loads
// stage by stage the scene manager paints it before the scene: after begin
// it draws the full page once (background colour, tiled background image, a
// centred picture, a line of text, the frame of a progress bar) and on later
// frames only the filled part of the bar, which grows with step. A style
// picks which of the five parts appear; finish hides the page.
#pragma once

#include "VM.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyObject.h"

namespace com::ventrix::ui {

class LoadingPage : public utility::MyObject {
    VM_DECLARE_CLASS(LoadingPage, utility::MyObject)

public:
    static constexpr jint PAGE_WIDTH = 480;
    static constexpr jint PAGE_HEIGHT = 640;
    // The switches of a style row.
    static constexpr jint SWITCH_IMAGE = 0;
    static constexpr jint SWITCH_FILL = 1;
    static constexpr jint SWITCH_PICTURE = 2;
    static constexpr jint SWITCH_TEXT = 3;
    static constexpr jint SWITCH_BAR = 4;

    static VMStatic<LoadingPage> instance;

    jint total = 0;                 // progress steps of the current loading
    jint progress = 0;              // steps done; the page draws while progress <= total
    jint style = 0;                 // the row of styles in force
    VMField<VMBooleanRows> styles;  // per style: image, fill, picture, text, bar
    jint backgroundColour = 0;
    jint backgroundImage = 0;     // Gob set whose first image is tiled
    VMField<VMInts> picture;      // Gob set, animation set or -1
    VMField<VMInts> barColours;   // frame, cells
    VMField<VMInts> barPosition;  // top-left corner of the bar area
    jint barSize = 0;             // the bar's height and the base of its geometry
    jint cellCount = 0;           // cells of a full bar
    jint cellWidth = 0;
    jboolean continuous = false;  // one rectangle instead of cells
    VMField<utility::MyFont> font;
    jint textFont = 0;
    jint textId = 0;

    VMPtr<LoadingPage> construct();

    // The singleton, made on first use.
    static VMPtr<LoadingPage> getInstance();

    // MyObject: only paint does something.
    void release() override {}
    void update(jint, jint) override {}
    void paint(VMPtr<Graphics> g) override;
    void reset() override {}

    virtual void setStyle(jint s);
    virtual void setBackgroundColour(jint rgb);
    virtual void setBackgroundImage(jint id);
    // Hides the page from the next frame on.
    virtual void finish();
    // n style rows, every switch off.
    virtual void setStyleCount(jint n);
    virtual void step();
    virtual void setText(jint fontIndex, jint text);
    virtual jint getProgress();
    // A loading of n steps begins: the next paint draws the full page.
    virtual void begin(jint n);
    virtual void setStyleSwitches(jint s, jboolean image, jboolean fill, jboolean pictureOn, jboolean text,
                                  jboolean bar);
    // 0: a continuous bar of barSize x 10 one-pixel cells; 1 to 3 (larger
    // values count as 3): 10 cells of barSize, 20 of barSize / 2 or 30 of
    // barSize / 3.
    virtual void setBarMode(jint cells);
    virtual void setPicture(jint gobSetId, jint animSetId);
    virtual void setBarColours(jint frameColour, jint cellColour);
    virtual void reserved() {}

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(styles, bits);
        _VM_markRef(picture, bits);
        _VM_markRef(barColours, bits);
        _VM_markRef(barPosition, bits);
        _VM_markRef(font, bits);
    }

private:
    void paintPage(VMPtr<Graphics> g, VMPtr<VMArray<jboolean, 1>> switches);
    void paintCells(VMPtr<Graphics> g);
};

}  // namespace com::ventrix::ui
