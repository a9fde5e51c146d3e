// scene.ingame.InGameScene: the scene in which a level is played: scene
// GameScene::LEVEL plays sam.SamGameSave's currentLevel, GameScene::TUTORIAL
// the tutorial level. It loads behind the loading page, one step a frame:
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
// selection, or to the main menu for the tutorial level.
#pragma once

#include <cstdint>
#include <vector>

#include "VM.h"
#include "com_ventrix_ui_Addon.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_ui_Screen.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"
#include "global_GameScene.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameStoryBoard.h"
#include "scene_ingame_LevelLoader.h"
#include "scene_ingame_MyListMenu.h"
#include "ts_CellLayer.h"

namespace scene::ingame {

class InGameScene : public com::ventrix::ui::Scene {
    VM_DECLARE_CLASS(InGameScene, com::ventrix::ui::Scene)

public:
    using Screen = com::ventrix::ui::Screen;
    using Addon = com::ventrix::ui::Addon;
    // The level's objects of one kind (elements are the kinds' own classes).
    using Objects = InGameObject::Objects;

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
    // The pause panel's layers: its frame, the question, and the faces of
    // its two answers; the frame opens, is open, closes and is closed, each
    // face is plain or shows the question or an answer.
    static constexpr jint PAUSE_FRAME = 0, PAUSE_QUESTION = 1, PAUSE_NO_FACE = 2, PAUSE_YES_FACE = 3;
    static constexpr jint PAUSE_LAYERS = 4;
    static constexpr jint PANEL_OPENING = 0, PANEL_OPEN = 1, PANEL_CLOSING = 2, PANEL_CLOSED = 3;
    static constexpr jint FACE_PLAIN = 4, FACE_QUESTION = 5, FACE_NO = 6, FACE_YES = 7;
    // The caught and level-complete panels: an animation over a frame.
    static constexpr jint OVERLAY_LAYERS = 2;
    // Drawing layers.
    static constexpr jint HUD_LAYER = 100;
    static constexpr jint PANEL_LAYER = 120;
    static constexpr jint MENU_LAYER = 125;
    static constexpr jint QUESTION_LAYER = 126;
    // The caught panel's word: text 30 in the title font, a band across the
    // screen under the emblem, drawn over the panel.
    static constexpr jint CAUGHT_TEXT = 30;
    static constexpr jint CAUGHT_WORD_Y = 380, CAUGHT_WORD_HEIGHT = 40;
    static constexpr jint CAUGHT_WORD_LAYER = HUD_LAYER + 1;

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
    // The story board's page was shown or turned in the last frame and has
    // not been on the screen while the player could answer it.
    jboolean pageUnseen = false;
    // The word on the caught panel, under its emblem, once the panel is in.
    VMField<Addon> caughtWord;

    // Scene GameScene::LEVEL: the level in SamGameSave's currentLevel.
    VMPtr<InGameScene> construct();
    // Scene GameScene::TUTORIAL: the tutorial level (currentLevel := -1); the id is not read.
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
    // One step of the level build (stage 1), by the stage-1 counter: step 0
    // the player, 13 down to 2 each kind's objects (the previous level's
    // released first), 1 the assembly; a level without keys skips step 12.
    virtual void buildLevel();

    void markReferences(uint32_t bits) override;

    // --- the camera, the head-up display and the checkpoints ---------------------
    // The camera moves at most cameraStep pixels a frame on each axis toward
    // its target; both are the view's top-left corner in level pixels, kept
    // inside the world.
    static constexpr jint BAR_COLOR = 0xD02B15;  // the disguise-time bar
    static constexpr jint MARKER_SHOWN = 0;      // target marker animations
    static constexpr jint MARKER_HIDDEN = 1;
    static constexpr jint TARGET_ACTIVE = 2;  // a target's layer 1 while it is the one to reach

    // cameraTarget := (x, y), clamped to the world.
    virtual void setCameraTarget(jint x, jint y);
    // One camera step toward the target; true when it is there.
    virtual jboolean stepCamera();
    // The target that keeps the player a quarter of the view from the edge
    // behind it.
    virtual void followPlayer();
    // The camera to the tile layer and every object, then the markers.
    virtual void applyCamera();
    // A marker on the view's edge or at the target for the active target.
    virtual void updateTargetMarkers();
    // The disguise-time bar and the outfit icon.
    virtual void updateHud();
    // Saves the restart point when the player enters a checkpoint zone.
    virtual void updateCheckpoints();

    // --- the state machine ------------------------------------------------------------
    // States: 0 intro pan, 1 playing, 2 paused, 4 caught, 5 level complete,
    // 6 restart, 7 level story, 8 intro follow, 9 objective story, 13 final
    // pan (3, 10, 11 and 12 do nothing). `step` counts a state's sub-steps
    // and is 0 on entering a state.
    static constexpr jint INTRO_PAN = 0;
    static constexpr jint PLAYING = 1;
    static constexpr jint PAUSED = 2;
    static constexpr jint CAUGHT = 4;
    static constexpr jint LEVEL_COMPLETE = 5;
    static constexpr jint RESTART = 6;
    static constexpr jint LEVEL_STORY = 7;
    static constexpr jint INTRO_FOLLOW = 8;
    static constexpr jint OBJECTIVE_STORY = 9;
    static constexpr jint FINAL_PAN = 13;
    static constexpr jint CONFIRM_ACTION = 18;  // the fire key
    static constexpr jint MENU_RESUME = 9;      // the pause menu's entries (their text ids)
    static constexpr jint MENU_QUIT = 16;
    static constexpr jint MENU_RESTART = 26;
    static constexpr jint MENU_MUSIC = 11;

    // The base update (timing, loading), then once loaded the game pad and
    // one step of the current state.
    void update() override;
    // In play with the pause panel closed: stops the sound, freezes the
    // world and opens the pause panel.
    void pause() override;
    virtual void updatePlaying();
    virtual void updateCaught();
    virtual void restartFromCheckpoint();
    virtual void updatePaused();
    virtual void updateIntroPan();
    virtual void updateObjectiveStory();
    void updateLevelComplete();
    void updateLevelStory();
    void updateIntroStory();
    void updateEndingPan();

    // The resources that draw background item `item` of location code
    // `location`: its image and animation-set ids and the frame of that set;
    // false for an item outside the location's catalogue.
    static bool backgroundItem(jint location, jint item, jint& image, jint& set, jint& frame);

private:
    // Fire pressed or a new touch in this frame.
    jboolean confirmed();
    jboolean keyConfirmed();
    jboolean touchConfirmed();
    // A confirm for the story board's page: only one given after the page
    // was drawn counts; the touch taken in the frame that showed it came
    // before.
    jboolean pageConfirmed();
    // The board's next page, if it has one; the page is new to the player.
    jboolean turnPage();
    void enter(jint next);
    void showStory(jint textId);
    void hideStory();
    // The story text ids of the current level.
    static jint levelStory();
    static jint targetStory();
    jint targetCount();
    // The next level after a completed one; unlockedLevel grows and is saved
    // when it is passed.
    void advanceLevel();
    // The menu's tune switched to and started; the level's tune started
    // again after a pause.
    void playMenuMusic();
    void resumeMusic();
    // The kinds' own restart steps (from the level's start or from the
    // checkpoint).
    void restoreKinds(jboolean fromStart);
    // Closes an open pause panel at once.
    void closePausePanel();
    // The paused state's parts: the panel opening or closing; the menu on
    // it, waiting for a tapped entry; the question before a quit or a
    // restart, and the answer read from the pointer (-1 none yet, 0 no,
    // 1 yes), its faces showing which one the pointer is on.
    void updatePausePanel(VMPtr<MyListMenu> menu, VMPtr<Screen> frame);
    void updatePauseMenu(VMPtr<MyListMenu> menu, VMPtr<Screen> frame, jboolean released);
    void updatePauseQuestion(VMPtr<MyListMenu> menu, VMPtr<Screen> frame, VMPtr<com::ventrix::utility::MyPointer> touch,
                             jboolean released);
    jint pauseAnswer(VMPtr<Screen> frame, VMPtr<com::ventrix::utility::MyPointer> touch, jboolean released);

    // The origin applyCamera last gave every object of the kinds, with the
    // objects as they stood in the kinds' arrays then (only compared, never
    // followed) and InGameObject::rowChanges then (which counts new objects).
    bool originsGiven = false;
    jint givenX = 0, givenY = 0;
    uint64_t givenRowChanges = 0;
    std::vector<InGameObject*> givenObjects;
    // Whether every object of the kinds has (x, y) from the last applyCamera:
    // the same objects in the same arrays, none new since.
    bool originsCurrent(jint x, jint y);
    void rememberOrigins(jint x, jint y);

    // The camera arrays (made on first use) and the clamps to the world.
    VMInts* cameraArray(VMField<VMInts>& field);
    jint clampX(jint x);
    jint clampY(jint y);

    void begin(jint steps);
    // The level build's last step: the targets and their markers, the
    // camera, and every object into the scene.
    void assembleLevel();
    // Releases the objects of an earlier build and takes them out of the
    // scene's list.
    void dropObjects(VMPtr<Objects> kind);
    void dropObject(VMPtr<com::ventrix::utility::MyObject> o);
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
