// scene.menu.MenuButton: a touch button of the option pages. Two picture
// layers, the face (layer 0) and its highlight (layer 1), and a one-line
// label drawn by a panel of its own. The page tests touches against the
// face's boxes and tells the button what to show.
//
// The button's place comes from the layout frame (frame 0) of its face set:
// boxes 1 to 5 are the five buttons of a page, boxes 6 and 7 the two of the
// settings overview. Each face frame carries box 0, the label, and box 5,
// the touch area.
//
//   kind 0: index 0-4, labels 2-6, set A, layout box index + 1;
//   kind 1: index 0-1, labels 11, 10, set B, layout box index + 1;
//   kind 2: index 0-1 as kind 1 in layout box 6, index 2-6 as kind 0
//           (index - 2) in layout box 7.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Addon.h"
#include "com_ventrix_ui_Screen.h"
#include "com_ventrix_utility_MyFont.h"

namespace scene::menu {

class MenuButton : public com::ventrix::ui::Screen {
    VM_DECLARE_CLASS(MenuButton, com::ventrix::ui::Screen)

public:
    // Face set A (the help topics) and B (sound off and on): image and
    // animation set; the highlight's.
    static constexpr jint FACE_A_IMAGE = 0xc0b;
    static constexpr jint FACE_A_SET = 0xc04;
    static constexpr jint FACE_B_IMAGE = 0xc08;
    static constexpr jint FACE_B_SET = 0xc01;
    static constexpr jint HIGHLIGHT_IMAGE = 0xc0c;
    static constexpr jint HIGHLIGHT_SET = 0xc05;
    static constexpr jint LABEL_BOX = 0;
    static constexpr jint TOUCH_BOX = 5;

    VMField<com::ventrix::ui::Addon> label;  // made by the first setup
    jint textId = 0;
    jint labelX = 0;
    VMField<com::ventrix::utility::MyFont> font;
    jint labelY = 0;
    jint kind = 0;

    VMPtr<MenuButton> construct();

    // The layers, then the label, while the button is visible.
    void paint(VMPtr<Graphics> g) override;

    // Takes effect at the next setup.
    virtual void setKind(jint value);
    // The highlight's animation: 1 pressed, 0 not.
    virtual void setPressed(jboolean pressed);
    // Moves both layers and the label by (dx, dy) from the place of the
    // last setup.
    virtual void setOffset(jint dx, jint dy);
    // Makes the button button number index of its kind's page: the first
    // call builds the layers and the label, later calls change the face and
    // the label only. An index outside the kind's table leaves the button
    // as it was.
    virtual void setup(jint index);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(label, bits);
        _VM_markRef(font, bits);
    }
};

}  // namespace scene::menu
