// scene.menu.SelectLevelScene: where the player picks a level, reads its
// briefing and starts it, and the stop between two levels. The scene id
// chooses how it opens:
//   10 browse: two arrows step through the entries, the bottom-left button
//      goes back to the main menu, the bottom-right one opens the briefing;
//   11 the briefing of the current level;
//   13 the briefing of the next level, which starts by itself after five
//      seconds, a new touch or fire;
//   14 a picture between two groups of levels, then the next briefing.
// There are 14 entries: one per level and, after levels 2, 5 and 8, an
// interlude entry that repeats the level before it and shows a picture
// instead of the level's card. A move between two entries slides the card
// off one side and the next one in from the other.
//
// The scene loads behind the loading page in 13 steps: 12 for the screens
// (stage 0), one for the briefing panel (stage 2).
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Addon.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_ui_Screen.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"

namespace scene::menu {

class SelectLevelScene : public com::ventrix::ui::Scene {
    VM_DECLARE_CLASS(SelectLevelScene, com::ventrix::ui::Scene)

public:
    using Screen = com::ventrix::ui::Screen;
    using Addon = com::ventrix::ui::Addon;

    static constexpr jint ENTRIES = 14;
    static constexpr jint LAST_ENTRY = ENTRIES - 1;
    static constexpr jint LOADING_STEPS = 13;
    static constexpr jint SCREEN_STEPS = 11;  // the screens' counter after step 0
    static constexpr jint COUNTDOWN = 5000;   // ms before a briefing or picture moves on
    static constexpr jint SLIDE = 1000;       // slideTime at the start of a slide
    static constexpr jint HALF = 500;         // and at its midpoint

    // Modes: the scene id the scene was made with (global::GameScene's
    // BROWSE_LEVELS, BRIEFING, NEXT_BRIEFING or INTERLUDE) is the mode it
    // opens in; these are the others.
    static constexpr jint SLIDE_FORWARD = 101;
    static constexpr jint SLIDE_BACK = 102;
    static constexpr jint START = 103;
    static constexpr jint SLIDE_FORWARD_INTERLUDE = 104;
    static constexpr jint SLIDE_BACK_INTERLUDE = 105;
    static constexpr jint BROWSE_INTERLUDE = 106;

    // The key action that steps on (fire).
    static constexpr jint FIRE = 18;

    // Resources: the pages' background, the level card, the corner buttons
    // (image, animation set) and the arrows of the head-up display.
    static constexpr jint BACKGROUND_IMAGE = 0xC09;
    static constexpr jint BACKGROUND_SET = 0xC02;
    static constexpr jint CARD_IMAGE = 0xC0A;
    static constexpr jint CARD_SET = 0xC03;
    static constexpr jint BUTTON_IMAGE = 0xC0D;
    static constexpr jint BUTTON_SET = 0xC06;
    static constexpr jint ARROW_IMAGE = 0x3804;
    static constexpr jint ARROW_SET = 0x3800;
    // The briefing pictures: three layers, each from its own run.
    static constexpr jint BACKDROPS = 0x3C00;
    static constexpr jint SUBJECTS = 0x3C06;
    static constexpr jint BADGES = 0x3C0F;
    // The pictures between level groups.
    static constexpr jint INTERLUDE_PICTURES = 0x4400;

    // Card frames.
    static constexpr jint CARD = 0;             // 1 + level: a level's place
    static constexpr jint BRIEFING_PANEL = 12;  // box 0 the text; 13 + level: its number
    static constexpr jint NOTHING = 24;
    // The briefing card stands this much higher than a level's card, so that
    // the loading page's word and bar below it leave its border clear.
    static constexpr jint BRIEFING_LIFT = 40;

    // Card layers: the card, the level's place, the briefing panel, the
    // level's number on it, then three picture layers.
    static constexpr jint CARD_LAYERS = 7;
    // Buttons layers.
    static constexpr jint BACK = 0;
    static constexpr jint GO = 1;
    static constexpr jint LEFT = 2;
    static constexpr jint LEFT_HINT = 3;
    static constexpr jint RIGHT = 4;
    static constexpr jint RIGHT_HINT = 5;
    static constexpr jint BUTTON_LAYERS = 6;

    // Buttons and arrows animations: a button appears (0, 4) and shows (1,
    // 5), goes (2, 6) and is gone (3, 7); an arrow appears (6) and is offered
    // (7), goes (8) and is hidden (9); a hint pulses (0) or is empty (1).
    static constexpr jint ARROW_APPEARS = 6;
    static constexpr jint ARROW_OFFERED = 7;
    static constexpr jint ARROW_GOES = 8;
    static constexpr jint ARROW_HIDDEN = 9;
    static constexpr jint HINT = 0;
    static constexpr jint NO_HINT = 1;

    VMField<Screen> buttons;
    jint highestLevel = 0;
    jint entry = 0;  // 0 to 13
    VMField<Screen> card;
    jint slideTime = 0;
    jint countdown = 0;
    jint mode = 0;
    VMField<com::ventrix::utility::MyKey> key;
    VMField<VMInts> entryLevels;
    VMField<com::ventrix::utility::MyPointer> pointer;

    VMPtr<SelectLevelScene> construct(jint sceneId);

    // Scene.
    void loadStage0() override;
    void loadStage1() override;
    void loadStage2() override;
    void update() override;
    void paintScene(VMPtr<Graphics> g) override;

    // Sets the card, the buttons and the panel up for the mode.
    virtual void showMode();
    // The card and its text lifted by `lift` pixels (0: in their places).
    void liftCard(jint lift);

    // The level of the current entry.
    jint level();
    // The entry a level opens on: the level's own, or for the interlude
    // scene the interlude entry before it; always within 0 to 13.
    static jint entryOf(jint sceneId, jint level);

    void markReferences(uint32_t bits) override;

private:
    void handleInput();
    void slideForward();
    void slideBack();
    void waitForStart();
    void slideForwardInterlude();
    void slideBackInterlude();
    // One frame of a slide run by the operation of `running` (one of the four
    // slide modes).
    void slide(jint running);
    void showArrows();
    void hideArrows();
    void showButtons();
    void hideButtons();
    // Sets the layer's animation unless it shows `unless`.
    void animate(jint layer, jint animation, jint unless);
    // The release point's layer in the order left arrow, right arrow,
    // bottom-left, bottom-right; -1 when there was no release or it hit none.
    jint hit();
    // The briefing's picture layers, its text and the panel.
    void showBriefing();
    // The interlude picture of the current level on card layer 5 (none for
    // the levels without one).
    void showInterludePicture();
    void setCardFrame(jint layer, jint frame);
    void clearCardLayer(jint layer);
    void loadPicture(jint layer, jint imageId);
    void setPanelVisible(jboolean visible);
};

}  // namespace scene::menu
