// scene.ingame.MyListMenu: the pause menu of the in-game scene. A vertical
// list of text entries, each drawn on the item frame of the list graphics,
// with an animated highlight on the row being touched. The list graphics are
// an animation set: frame 0 is the item frame (box 5 the row, box 0 the
// text's left edge inside it), animation 4 the highlight.
//
// Everything else (bounds, entries, first visible row, title labels, the
// pressed and released rows, the row layout and the touch rows) is the
// panel's list machinery, shared with the main menu's list;
// getTappedItem answers the entry released on in this frame.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Addon.h"
#include "ts_AnimPlayer.h"

namespace scene::ingame {

class MyListMenu : public com::ventrix::ui::Addon {
    VM_DECLARE_CLASS(MyListMenu, com::ventrix::ui::Addon)

public:
    static constexpr jint TEXT_BOX = 0;
    static constexpr jint ITEM_FRAME = 0;
    static constexpr jint HIGHLIGHT_ANIMATION = 4;

    // The highlight of the pressed row; made when the list graphics are
    // loaded, null before.
    VMField<ts::AnimPlayer> highlight;

    VMPtr<MyListMenu> construct();

    // Advances the highlight by the frame's time step.
    void update(jint a, jint b) override;
    // Lays the list out from the bounds and entries and hands the rows to
    // the touch input; run after setBounds, setItemCount and setItems. A row
    // box without height gives no rows.
    void open() override;
    // The rows of a laid-out list, then the panel over them.
    void paint(VMPtr<Graphics> g) override;

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(highlight, bits);
    }

private:
    // Each entry's row on the item frame, its text at the text origin, the
    // highlight on the pressed row; rows past the entries are not drawn.
    void paintRows(VMPtr<Graphics> g);
};

}  // namespace scene::ingame
