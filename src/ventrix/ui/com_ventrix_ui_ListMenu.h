// com.ventrix.ui.ListMenu: a panel that shows a vertical menu. The items
// (text ids) are laid out in rows of equal size in the content area, the
// free height shared equally above, between and below them; the touched row
// is marked on both sides, and touch rows plus four key regions (above and
// below the list for up and down, and the layout's left and right boxes)
// are registered with the touch input. The list graphics are an animation
// set: frame 0 carries the layout in its collision boxes (5 one row, 3 the
// left region, 4 the right region), frame 1 is the marker. Loading, the row
// layout and the touch rows are the panel's list steps (Addon).
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Addon.h"

namespace com::ventrix::ui {

class ListMenu : public Addon {
    VM_DECLARE_CLASS(ListMenu, Addon)

public:
    static constexpr jint MARKER_FRAME = 1;

    VMPtr<ListMenu> construct();

    // The rows of an open list, then the panel over them.
    void paint(VMPtr<Graphics> g) override;
    // Lays the list out from the items and the area and registers the touch
    // input; again after a change of items or area.
    void open() override;

private:
    // The visible rows, each with its text and its marker when highlighted.
    void paintRows(VMPtr<Graphics> g);
};

}  // namespace com::ventrix::ui
