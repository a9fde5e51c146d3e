// com.ventrix.ui.ListMenu: a panel that shows a vertical menu. The items
// (text ids) are laid out in rows of equal size in the content area, the
// free height shared equally above, between and below them; the touched row
// is marked on both sides, and touch rows plus four key regions (above and
// below the list for up and down, and the layout's left and right boxes)
// are registered with the touch input. The list graphics are an animation
// set: frame 0 carries the layout in its collision boxes (5 one row, 3 the
// left region, 4 the right region), frame 1 is the marker.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Addon.h"

namespace com::ventrix::ui {

class ListMenu : public Addon {
    VM_DECLARE_CLASS(ListMenu, Addon)

public:
    static constexpr jint ROW_BOX = 5;
    static constexpr jint MARKER_FRAME = 1;

    VMPtr<ListMenu> construct();

    // The rows of an open list (paintRows), then the panel over them.
    void paint(VMPtr<Graphics> g) override;
    // Lays the list out from the items and the area and registers the touch
    // input; again after a change of items or area.
    void open() override;

protected:
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
    // The visible rows, each with its text and its marker when highlighted.
    virtual void paintRows(VMPtr<Graphics> g);
    // The text renderer, set to the panel's font of that number.
    VMPtr<ts::util::text::RichFont> rowFont(jint fontNumber);
    // The top of visible row r on the screen.
    jint rowTop(jint r);
    // A row's text at x, centred in the height of the row whose top is given.
    void drawRowText(VMPtr<Graphics> g, VMPtr<ts::util::text::RichFont> rich, VMPtr<String> s, jint x, jint top);
};

}  // namespace com::ventrix::ui
