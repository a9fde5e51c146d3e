// scene.ingame.InGameStoryBoard: the in-game scene's text box. A white box
// with a black outline under a wrapped text that the scene shows page by
// page (pageDown). The text area comes from box 1 of frame 8 of the head-up
// display graphics, whose y is the area's distance from the top of the
// screen; the box reaches `border` pixels beyond that area on every side,
// the outline 2 pixels beyond the box. The text takes the whole lines that fit
// in the area with room for the last one's descenders, centred in it.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Addon.h"

namespace scene::ingame {

class InGameStoryBoard : public com::ventrix::ui::Addon {
    VM_DECLARE_CLASS(InGameStoryBoard, com::ventrix::ui::Addon)

public:
    static constexpr jint PANEL_IMAGE = 0x3804;
    static constexpr jint PANEL_SET = 0x3800;
    static constexpr jint PANEL_FRAME = 8;
    static constexpr jint OUTLINE = 2;
    static constexpr jint BOARD_LAYER = 120;

    jint border = 0;  // margin around the text area

    VMPtr<InGameStoryBoard> construct();

    // The outline and the box, then the panel's text and scroll bar.
    void paint(VMPtr<Graphics> g) override;

private:
    // Narrows the text area to the whole lines of the body font that fit
    // with room under the last one, centred in the box.
    void fitWholeLines();
};

}  // namespace scene::ingame
