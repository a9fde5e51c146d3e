// com.ventrix.ui.Addon: an overlay panel that a scene draws over its world.
// It shows a box (a frame of an animation set, or filled and outlined), a
// wrapped text that scrolls line by line with a scroll bar, positioned text
// labels, and holds the data of a selectable list (text ids, selection, first
// visible row, touch regions) with the steps that lay it out in rows and
// hand them to the touch input; the list panels built on it
// (com.ventrix.ui.ListMenu among them) load their graphics and draw the
// rows. The owner configures the panel, shows it through the active flag
// and polls it: getTappedItem answers the row chosen in this frame. A
// hidden panel ignores keys and scroll steps.
//
// The panel draws on the 480 x 640 game area; every position is moved by
// minus the drawing offset.
#pragma once

#include "VM.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyObject.h"
#include "com_ventrix_utility_MyPointer.h"
#include "java_lang_String.h"
#include "ts_Frame.h"
#include "ts_Gob.h"
#include "ts_util_text_WrappedText.h"

namespace com::ventrix::ui {

class Addon : public utility::MyObject {
    VM_DECLARE_CLASS(Addon, utility::MyObject)

public:
    using String = java::lang::String;

    static constexpr jint SCREEN_WIDTH = 480;
    static constexpr jint SCREEN_HEIGHT = 640;
    static constexpr jint SCROLL_BAR_WIDTH = 5;
    static constexpr jint MARQUEE_LIMIT = 480;  // a wider selected item runs
    static constexpr jint MARQUEE_STEP = 2;
    static constexpr jint ROW_BOX = 5;  // the list graphics' box of one row

    jint textWidth = 0;
    jint scrollY = 0;  // vertical drag position of the content
    jint itemHeight = 0;
    jint itemCount = 0;
    jint visibleRows = 0;
    jint scrollX = 0;
    jint rowOffsetX = 0;  // (areaWidth - itemWidth) / 2
    jint areaHeight = 0;
    jint rowGap = 0;     // between rows; also the text's line spacing for dragging
    jint tappedRow = 0;  // released on, relative to firstRow; -1 none
    jboolean scrollable = false;
    jint areaY = 0;
    VMField<utility::MyFont> font;
    jint areaX = 0;
    jint textHeight = 0;
    jboolean listOpen = false;  // a list is open (isOpen)
    jint frameHeight = 0;
    jint listSecondResource = 0;
    jint textX = 0;
    jboolean alternate = false;  // up and down move the list even while none is open
    jint textY = 0;
    jint frameWidth = 0;
    jint listSecondIndex = 0;  // cache slots of the list graphics, -1 once dropped
    jint selected = 0;         // highlighted visible row, -1 none
    VMField<utility::MyPointer> pointer;
    jint borderColour = 0;
    jint firstRow = 0;
    VMField<VMInts> offset;  // drawing offset x, y
    jint frameX = 0;
    jint listResource = 0;
    jint areaWidth = 0;
    VMField<VMInts> items;         // text ids
    VMField<ts::Frame> listFrame;  // layout frame, then the selection marker
    jint frameY = 0;
    jint fontIndex = 0;
    VMField<ts::Frame> panelFrame;
    jboolean framed = false;
    jint listFirstIndex = 0;
    jint loadedListResource = 0;
    jint itemWidth = 0;
    VMField<ts::util::text::WrappedText> text;
    jint fillColour = 0;  // box fill and scroll bar
    jint marqueeX = 0;
    VMField<VMInts> labelFont;
    jint lineCount = 0;
    VMField<VMInts> labelHeight;  // below 1: not centred vertically
    jint panelSecondIndex = 0;    // cache slots of the panel graphics, -1 once dropped
    jint labelCapacity = 0;
    jint visibleLines = 0;
    jboolean keepFlag = false;
    jint panelFirstIndex = 0;
    VMField<VMIntRows> labelPosition;
    VMField<VMArray<String, 1>> labelText;
    jint labelCount = 0;
    VMField<VMInts> labelWidth;  // below 1: not centred horizontally
    VMField<VMArray<jboolean, 1>> labelRight;
    jint firstLine = 0;

    VMPtr<Addon> construct();

    // Gives back the panel's and list's cache references and unregisters
    // the key regions.
    void release() override;
    void update(jint a, jint b) override;
    void handleInput(jint a, jint b) override;
    void paint(VMPtr<Graphics> g) override;
    // The release without giving the cache references back: close.
    void reset() override;
    virtual void close();

    virtual void initLabels(jint capacity);
    virtual void paintText(VMPtr<Graphics> g);
    virtual void scrollTextDown();
    virtual jint getFrameWidth();
    virtual void setText(VMPtr<String> s, jint x, jint y, jint width, jint height);
    virtual void setText(VMPtr<String> s);
    virtual void setPanelFrame(jint frame, jint x, jint y, jint width, jint height);
    virtual void setPanelFrame(jint frame);
    virtual void listUp();
    virtual void setFirstRow(jint row);
    virtual void setLabel(jint index, VMPtr<String> s, jint x, jint y, jint width, jint height);
    virtual void setLabel(jint index, VMPtr<String> s, jint x, jint y, jint width);
    virtual void setLabel(jint index, VMPtr<String> s, jint x, jint y);
    virtual void setLabelText(jint index, VMPtr<String> s);
    virtual void addLabel(VMPtr<String> s, jint x, jint y);
    virtual void addLabel(jint textId, jint x, jint y);
    virtual void addLabel(VMPtr<String> s, jint x, jint y, jint width);
    virtual void addLabel(jint textId, jint x, jint y, jint width);
    virtual void addLabel(VMPtr<String> s, jint x, jint y, jint width, jint height);
    virtual void addLabel(jint textId, jint x, jint y, jint width, jint height);
    virtual void setAlternate(jboolean value);
    virtual void keyDown();
    virtual jint getOffsetY();
    // The text id of the highlighted row, items[firstRow + selected]; -1
    // while hidden or without one.
    virtual jint getSelectedItem();
    // Lays the list out (ListMenu); nothing here.
    virtual void open();
    virtual void updateMarquee();
    virtual VMPtr<VMInts> getUpRegion();
    // The text id of the row released on in this frame, else -1.
    virtual jint getTappedItem();
    virtual void scrollTextUp();
    virtual void setLabelFont(jint index, jint fontNumber);
    virtual void resetClip(VMPtr<Graphics> g);
    virtual VMPtr<VMInts> getLeftRegion();
    virtual void setClip(VMPtr<Graphics> g, jint x, jint y, jint width, jint height);
    virtual jint getOffsetX();
    virtual VMPtr<VMIntRows> getRowRegions();
    virtual VMPtr<VMInts> getRightRegion();
    virtual void listDown();
    virtual jint getFirstRow();
    virtual void setBorderColour(jint rgb);
    virtual void updatePointer(jint a, jint b);
    virtual void setItemCount(jint n);
    virtual jint getScrollX();
    virtual jint getAreaWidth();
    virtual void setOpen(jboolean value);
    // The item index of the row released on in this frame, else -1.
    virtual jint getTappedIndex();
    virtual void setItemSize(jint width, jint height);
    virtual jint getLineHeight();
    virtual jint getFrameHeight();
    virtual void resetBounds();
    virtual VMPtr<VMInts> getDownRegion();
    virtual void loadPanelResources(jint first, jint second);
    virtual void setFillColour(jint rgb);
    virtual void resetOffset();
    virtual void setListImage(VMPtr<ts::Gob> image, jint index);
    virtual void setItems(VMPtr<VMInts> ids);
    virtual VMPtr<VMInts> getTextBox();
    virtual void setOffset(jint x, jint y);
    virtual void setListResources(jint first, jint second);
    virtual void setBounds(jint x, jint y, jint width, jint height);
    virtual void setLabelCount(jint n);
    virtual void setKeepFlag(jboolean value);
    virtual jint getScrollY();
    virtual void setSelected(jint row);
    virtual jint getFrameY();
    virtual jboolean getKeepFlag();
    virtual void updateDrag();
    virtual jboolean isFramed();
    virtual void setScrollable(jboolean value);
    virtual void updateTappedRow();
    virtual jboolean isAlternate();
    // One page of text down; false while hidden or at the end.
    virtual jboolean pageDown();
    virtual void updateSelection();
    virtual void setFontIndex(jint index);
    virtual void keyUp();
    virtual void setLabelRightAligned(jint index, jboolean right);
    virtual jboolean isOpen();
    virtual void setFramed(jboolean value);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(font, bits);
        _VM_markRef(pointer, bits);
        _VM_markRef(offset, bits);
        _VM_markRef(items, bits);
        _VM_markRef(listFrame, bits);
        _VM_markRef(panelFrame, bits);
        _VM_markRef(text, bits);
        _VM_markRef(labelFont, bits);
        _VM_markRef(labelHeight, bits);
        _VM_markRef(labelPosition, bits);
        _VM_markRef(labelText, bits);
        _VM_markRef(labelWidth, bits);
        _VM_markRef(labelRight, bits);
    }

protected:
    // Frame `frame` of the animation set in slot `slot` of the resource
    // cache; null for a negative slot, and for a set that is not there
    // (skipped, with one line on the console, not repeated while the same
    // slot stays empty).
    static VMPtr<ts::Frame> cachedFrame(jint slot, jint frame);
    // The frame whose boxes lay the list out: frame 0 of the cached list
    // set while the panel holds its list graphics, else null.
    VMPtr<ts::Frame> layoutFrame();
    // A new int[5] with collision box boxId of the layout frame, all zero
    // without one.
    VMPtr<VMInts> layoutBox(jint boxId);
    // Box boxId of the layout frame moved to the rows' x and to areaY + dy
    // (less its height when aboveArea); all zero without a layout frame.
    VMPtr<VMInts> regionBox(jint boxId, jint dy, jboolean aboveArea);
    // The string of text id in MyFont's table.
    VMPtr<String> textOf(jint textId);
    // Drops the panel and list frames; with giveBack, their cache references
    // go back to the cache.
    void dropFrames(jboolean giveBack);

    // The steps of laying a list out, shared by the list panels built on
    // this one, which each load their own frames and draw their own rows.
    //
    // Marks the list open and loads the list graphics into the cache when
    // the resource changed or the panel let them go (close, release); true
    // when it loaded them.
    jboolean loadListGraphics();
    // Rows of the row box's size, as many of the entries as fit in the
    // area (none without a row height), centred across it, the free height
    // shared equally above, between and below them; the first entry on top.
    void layOutRows(jint entries);
    // Forgets the pointer's drags and the highlighted row.
    VMPtr<utility::MyPointer> resetTouch();
    // Hands the item rows to the touch input, with a drag that reaches the
    // last of the entries.
    void registerRows(jint entries);
    // The text renderer, set to the panel's font of that number.
    VMPtr<ts::util::text::RichFont> rowFont(jint fontNumber);
    // The top of visible row r on the screen.
    jint rowTop(jint r);
    // A row's text at x, centred in the height of the row whose top is given.
    void drawRowText(VMPtr<Graphics> g, VMPtr<ts::util::text::RichFont> rich, VMPtr<String> s, jint x, jint top);
};

}  // namespace com::ventrix::ui
