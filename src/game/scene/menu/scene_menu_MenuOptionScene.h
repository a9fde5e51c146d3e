// scene.menu.MenuOptionScene: the option and information pages, one class
// for six scenes. All pages share one background with a title band, a back
// control in the bottom-left corner and up to five buttons:
//
//   scene  page  title  shows                               input
//    7      0     1     the five help topics                none
//    6      1     12    sound off, sound on                 sound question
//    2      2     18    the sound setting and the option    none
//    4      3     13    the information text                scrolling text
//   16      4     1     as page 0 (other back control)      none
//   15      5     12    as page 1, at start-up: installs    sound question
//                       the sound tables and mutes first
//
// A page that is left goes back to the main menu (scene 1). Only the sound
// question writes storage, and only when one of its buttons is touched.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"
#include "sam_SamGameSave.h"
#include "scene_menu_MenuButton.h"

namespace scene::menu {

class MenuOptionScene : public com::ventrix::ui::Scene {
    VM_DECLARE_CLASS(MenuOptionScene, com::ventrix::ui::Scene)

public:
    using Buttons = VMArray<MenuButton, 1>;

    static constexpr jint LOADING_STEPS = 10;
    static constexpr jint BUTTONS = 5;
    static constexpr jint BACKGROUND_IMAGE = 0xc09;
    static constexpr jint BACKGROUND_SET = 0xc02;
    static constexpr jint CORNER_IMAGE = 0xc0d;
    static constexpr jint CORNER_SET = 0xc06;
    static constexpr jint INFO_IMAGE = 0xc07;
    static constexpr jint INFO_SET = 0xc00;
    static constexpr jint TITLE_BAND_COLOUR = 0x534741;
    // Page kinds.
    static constexpr jint HELP = 0;
    static constexpr jint SOUND = 1;
    static constexpr jint SETTINGS = 2;
    static constexpr jint INFORMATION = 3;
    static constexpr jint START_HELP = 4;
    static constexpr jint START_SOUND = 5;
    // Logical key actions of the information page.
    static constexpr jint KEY_BACK = 12;
    static constexpr jint KEY_UP = 14;
    static constexpr jint KEY_DOWN = 17;

    VMField<com::ventrix::utility::MyFont> font;  // not used
    jint pageKind = 0;
    VMField<com::ventrix::utility::MyKey> key;
    VMField<com::ventrix::utility::MyPointer> pointer;
    VMField<sam::SamGameSave> gameSave;  // null when the game's save object is of another class
    jint pressedIndex = 0;               // -1 after the set-up; not read
    VMField<Buttons> buttons;

    VMPtr<MenuOptionScene> construct(jint sceneId);

    void loadStage0() override;
    void loadStage1() override {}
    void loadStage2() override;
    void paintScene(VMPtr<Graphics>) override {}
    // The base update, then the page's input once loaded.
    void update() override;

    // Shows the title and the buttons of the page kind and the back control.
    virtual void setupPage();
    // One step of the page (stage 0), by the stage-0 counter.
    virtual void loadPage();
    // The title or information panel (stage 2), then setupPage.
    virtual void loadPanel();
    // A touch on a sound button saves and applies the choice; a touch on
    // the back control leaves without.
    virtual void handleSoundPage();
    // Back, up or down from touch or keys; back first.
    virtual void handleTextPage();

    // The page kind of a scene id; 0 for any other id.
    static jint pageKindOf(jint sceneId);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(font, bits);
        _VM_markRef(key, bits);
        _VM_markRef(pointer, bits);
        _VM_markRef(gameSave, bits);
        _VM_markRef(buttons, bits);
    }

private:
    // Box `box` of the background's layer 0 as a band across the screen:
    // the box's y is the screen row.
    void band(jint box);
    VMPtr<java::lang::String> text(jint id);
    void installSounds();
};

}  // namespace scene::menu
