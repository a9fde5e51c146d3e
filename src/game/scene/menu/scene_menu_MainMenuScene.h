// scene.menu.MainMenuScene: scene 1, the main menu. The title picture with a
// one-row list of five entries across it; touches on the markers at the
// list's two ends step back and forward through the entries (wrapping at
// both ends), a touch released on the list chooses the entry shown:
//
//   23 training    the tutorial level (scene 12)
//   17 missions    the level selection (scene 10)
//   12 sound       the sound page (scene 6)
//   13 about       the information page (scene 4)
//   15 exit        the application ends (the canvas's exit event)
//
// Keys play no part. Stage 0 builds the background in five steps, stage 2
// the list.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_ListMenu.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"
#include "scene_menu_MenuButton.h"

namespace scene::menu {

class MainMenuScene : public com::ventrix::ui::Scene {
    VM_DECLARE_CLASS(MainMenuScene, com::ventrix::ui::Scene)

public:
    static constexpr jint LOADING_STEPS = 6;
    static constexpr jint ENTRIES = 5;
    static constexpr jint TITLE_IMAGE = 0x801;
    static constexpr jint TITLE_SET = 0x800;
    static constexpr jint MARKER_IMAGE = 0xc0c;
    static constexpr jint MARKER_SET = 0xc05;
    static constexpr jint MARKER_ANIMATION = 2;
    static constexpr jint BANNER = 0x402;
    static constexpr jint LIST_IMAGE = 0x3806;
    static constexpr jint LIST_SET = 0x3802;
    // Boxes of the background's layer 2 (the menu strip).
    static constexpr jint BACK_BOX = 1;
    static constexpr jint FORWARD_BOX = 2;
    static constexpr jint LIST_BOX = 5;
    static constexpr jint LINE_BOX = 6;
    // The entries' text ids, which name them when chosen.
    static constexpr jint TRAINING = 23;
    static constexpr jint MISSIONS = 17;
    static constexpr jint SOUND = 12;
    static constexpr jint ABOUT = 13;
    static constexpr jint EXIT = 15;
    static constexpr jint HOW_TO_PLAY = 1;  // chosen by no entry of the list
    static constexpr jint OPTIONS = 18;     // likewise

    VMField<com::ventrix::utility::MyKey> key;
    VMField<com::ventrix::utility::MyPointer> pointer;
    VMField<VMArray<MenuButton, 1>> buttons;  // never filled here

    // While non-zero the scene builds nothing and takes no input.
    static jint menuLocked;

    VMPtr<MainMenuScene> construct();

    void loadStage0() override;
    void loadStage1() override {}
    void loadStage2() override;
    void paintScene(VMPtr<Graphics>) override {}
    // The base update, then the input once loaded.
    void update() override;

    // One step of the background (stage 0), by the stage-0 counter.
    virtual void loadBackground();
    // The list (stage 2), in one call.
    virtual void loadMenu();
    // A touch released in this frame: back, forward or choose.
    virtual void handleInput();
    // Acts on a chosen entry; other ids do nothing.
    virtual void choose(jint entry);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(key, bits);
        _VM_markRef(pointer, bits);
        _VM_markRef(buttons, bits);
    }
};

}  // namespace scene::menu
