// scene.ingame.InGameScene: the scene in which a level is played: scene 9
// plays sam.SamGameSave's currentLevel, scene 12 the tutorial level. It
// loads behind the loading page, one step a frame:
//   stage 0, the level view: the level loader, the head-up display, the game
//     pad, the caught and level-complete panels, the level's data, the tile
//     layer and its background decorations (steps 0, 7, 6, ..., 1);
//   stage 1, the level's objects;
//   stage 2, the overlays: the pause panel and menu, the confirmation
//     question and the story board.
// Its own drawing, between the objects below layer 40 and the others, is the
// tile layer.
//
// A level that cannot be played (a missing resource, a level the loader
// refuses, anything else a stage throws) ends the loading with one console
// line naming the level and the reason; the scene then changes to the level
// selection (10), or to the main menu (1) for the tutorial level.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Addon.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_ui_Screen.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameStoryBoard.h"
#include "scene_ingame_LevelLoader.h"
#include "ts_CellLayer.h"

namespace scene::ingame {

class InGameScene : public com::ventrix::ui::Scene {
    VM_DECLARE_CLASS(InGameScene, com::ventrix::ui::Scene)

public:
    using Screen = com::ventrix::ui::Screen;
    using Addon = com::ventrix::ui::Addon;
    // The level's objects of one kind (elements are the kinds' own classes).
    using Objects = InGameObject::Objects;

    static constexpr jint LEVEL_SCENE = 9;
    static constexpr jint TUTORIAL_SCENE = 12;
    static constexpr jint LEVEL_SELECTION_SCENE = 10;
    static constexpr jint MAIN_MENU_SCENE = 1;
    static constexpr jint LEVEL_STEPS = 23;     // loading-page steps of a level
    static constexpr jint TUTORIAL_STEPS = 15;  // and of the tutorial level
    static constexpr jint VIEW_STEPS = 7;       // the level view's counter after step 0

    // Resources of the head-up display, the pad and the pause panel.
    static constexpr jint HUD_IMAGE = 0x3804;
    static constexpr jint HUD_SET = 0x3800;
    static constexpr jint ICONS = 0x3803;
    static constexpr jint PAD_IMAGE = 0x3805;
    static constexpr jint PAD_SET = 0x3801;
    static constexpr jint PANEL_IMAGE = 0x3806;
    static constexpr jint PANEL_SET = 0x3802;
    // Drawing layers.
    static constexpr jint HUD_LAYER = 100;
    static constexpr jint PANEL_LAYER = 120;
    static constexpr jint MENU_LAYER = 125;
    static constexpr jint QUESTION_LAYER = 126;

    VMField<Objects> interactionItems;
    VMField<Screen> overlayScreenA;  // the caught panel
    VMField<InGamePlayer> player;
    VMField<sam::SamGameSave> gameSave;
    jboolean confirmOpen = false;  // the pause menu's question is open
    jint step = 0;                 // sub-step of the current state
    VMField<Screen> pausePanel;    // 0 frame, 1 question, 2 no face, 3 yes face
    jint lastCheckpointZone = 0;
    jint confirmAction = 0;
    VMField<Screen> targetIndicator;
    jint currentTarget = 0;
    VMField<com::ventrix::utility::MyKey> key;
    jint introTarget = 0;
    VMField<GamePad> gamePad;
    VMField<InGameStoryBoard> storyBoard;
    VMField<Objects> traps;
    VMField<Screen> spareScreen;
    VMField<Objects> generalPeople;
    VMField<com::ventrix::utility::MyPointer> pointer;
    jint viewHeight = 0;  // the visible part of the level: 640, less for a lower world
    jint state = 0;
    jint worldWidth = 0;  // the level's size in pixels
    jint worldHeight = 0;
    VMField<Objects> targetItems;
    VMField<Objects> transportItems;
    VMField<Objects> keyItems;
    VMField<VMInts> cameraTarget;
    VMField<Screen> overlayScreenB;  // the level-complete panel
    jint cameraStep = 0;
    VMField<Objects> disguisedPeople;
    jint checkpoint = 0;
    VMField<VMInts> camera;
    VMField<Addon> confirmDialog;
    VMField<LevelLoader> levelLoader;
    jint viewWidth = 0;  // 480, less for a narrower world
    VMField<ts::CellLayer> cellLayer;
    // A stage failed: the scene has asked for another one and loads nothing
    // more.
    jboolean failed = false;

    // Scene 9: the level in SamGameSave's currentLevel.
    VMPtr<InGameScene> construct();
    // Scene 12: the tutorial level (currentLevel := -1); the id is not read.
    VMPtr<InGameScene> construct(jint sceneId);

    // Scene.
    void loadStage0() override;
    void loadStage1() override;
    void loadStage2() override;
    void paintScene(VMPtr<Graphics> g) override;

    // One step of the level view (stage 0), by the stage-0 counter.
    virtual void loadLevelView();
    // The overlays (stage 2), in one call.
    virtual void createOverlays();

    void markReferences(uint32_t bits) override;

    // The resources that draw background item `item` of location code
    // `location`: its image and animation-set ids and the frame of that set;
    // false for an item outside the location's catalogue.
    static bool backgroundItem(jint location, jint item, jint& image, jint& set, jint& frame);

private:
    void begin(jint steps);
    // Runs one step of a stage; a throwable ends the loading (fail).
    template <typename Step>
    void guarded(jint& busy, Step work);
    // The head-up display and the game pad (level view step 7).
    void createHud();
    // The tile layer (level view step 3), built once per scene.
    void createTileLayer();
    // The background decorations (level view step 2).
    void placeDecorations();
    // Prints the line (unless the loader printed it) and changes scene.
    void fail(VMPtr<java::lang::String> reason, jboolean printed);
    void progress();
    VMPtr<java::lang::String> text(jint id);
};

}  // namespace scene::ingame
