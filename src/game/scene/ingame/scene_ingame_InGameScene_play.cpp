// scene.ingame.InGameScene: the state machine that plays a level.
//
// A level starts in the restart state with no checkpoint: the level story,
// a pan over the targets, the camera back to the player and the first
// target's story, then play. Play leads to the pause menu and back, to the
// caught panel and a restart at the last checkpoint, to a story after each
// reached target and, after the last one, to the level-complete panel and
// the next scene. Sequences wait on the animation numbers their layers show
// or on a confirm (fire, or a new touch).
#include "com_ventrix_utility_AudioAndVibration.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGameKeyItem.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameTargetItem.h"
#include "scene_ingame_InGameTransportItem.h"
#include "scene_ingame_MyListMenu.h"

namespace scene::ingame {

using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::MyObject;
using global::GameScene;

namespace {

// Text ids of the stories, by level 0 to 10; the tutorial's follow.
constexpr jint kLevelStories[] = {38, 42, 48, 53, 56, 60, 64, 67, 71, 78, 81};
constexpr jint kTargetStories[] = {39, 43, 49, 54, 57, 61, 65, 68, 72, 79, 82};
constexpr jint kTutorialLevelStory = 84;
constexpr jint kTutorialTargetStory = 85;

// The caught and level-complete panels: an animation over a frame, centred.
constexpr jint kPanelX = 240, kPanelY = 320;
constexpr jint kCaughtImage = 0x4806, kCaughtSet = 0x4802;
constexpr jint kCompleteImage = 0x4807, kCompleteSet = 0x4803;
constexpr jint kPanelFrameImage = 0x4804, kPanelFrameSet = 0x4800;
constexpr jint kCaughtFrame = 2, kCompleteFrame = 0;
// Their two layers: the animation, which has run once it shows animation 1,
// and the frame, which shows its second look then.
constexpr jint kPanelAnimation = 0, kPanelFrame = 1;
constexpr jint kPanelOpened = 1;
// A target's marker (its layer 1) in the pan over the targets: it appears,
// has appeared, and then marks the active target.
constexpr jint kMarker = 1;
constexpr jint kMarkerAppears = 0, kMarkerAppeared = 1;

// The pause button on the head-up display (layer 1).
constexpr jint kPauseButton = 1;
constexpr jint kPauseButtonShown = 2, kPauseButtonPressed = 4;
constexpr jint kPauseButtonX = 480;

// The question's answers (the boxes of its frame), and what it asks about.
constexpr jint kAnswerNone = -1, kAnswerNo = 0, kAnswerYes = 1;
constexpr jint kConfirmRestart = 0, kConfirmQuit = 1;
// Closing an open panel at once: at most this many updates, then one long
// step to its last frame.
constexpr jint kMostClosingUpdates = 1000;
constexpr jint kLongStep = 20000;

// The sub-steps (`step`) of the level story, the level's end and the final
// pan; each waits in its last one.
constexpr jint STORY_CAMERA = 0, STORY_SHOW = 1, STORY_READING = 2;
constexpr jint COMPLETE_CHEER = 0, COMPLETE_PANEL = 1, COMPLETE_PANEL_SHOWN = 2;
constexpr jint PAN_AIM = 0, PAN_MOVE = 1, PAN_DONE = 2;
// The sub-step of play once the player was caught in an earlier frame (the
// caught panel opens).
constexpr jint PLAY_CAUGHT = 1;
// Of the pan over the targets: panning, or past the last target.
constexpr jint INTRO_PANNING = 0, INTRO_DONE = 1;
// Of the target stories before play: the camera back to the player, then
// the story read.
constexpr jint FOLLOW_CAMERA = 0, FOLLOW_READING = 1;
// Of a reached target's story: shown, then read.
constexpr jint OBJECTIVE_SHOW = 0, OBJECTIVE_READING = 1;

// The last levels of the first three chapters: the next chapter's picture
// follows them at once.
constexpr jint kChapterLastLevels[] = {2, 5, 8};
// The level whose first target's story waits until that target has run its
// reached animation to the end (its layer 0 showing animation 2).
constexpr jint kLevelAwaitingItsFirstTarget = 9;
constexpr jint kFirstTargetFinished = 2;

bool chapterEnd(jint level) {
    for (jint last : kChapterLastLevels)
        if (level == last) return true;
    return false;
}

jint lengthOf(InGameObject::Objects* kind) { return kind == nullptr ? 0 : kind->length; }

}  // namespace

// --- the frame ---------------------------------------------------------------------------

void InGameScene::update() {
    Super::update();
    // A level that failed to load has asked for another scene already.
    if (loading || failed) return;
    VMPtr<GamePad> pad = gamePad;
    if (pad != nullptr) pad->update();
    switch (state) {
        case INTRO_PAN: updateIntroPan(); break;
        case PLAYING:
            updatePlaying();
            followPlayer();
            stepCamera();
            applyCamera();
            break;
        case PAUSED: updatePaused(); break;
        case CAUGHT: updateCaught(); break;
        case LEVEL_COMPLETE: updateLevelComplete(); break;
        case RESTART: restartFromCheckpoint(); break;
        case LEVEL_STORY: updateLevelStory(); break;
        case INTRO_FOLLOW: updateIntroStory(); break;
        case OBJECTIVE_STORY: updateObjectiveStory(); break;
        case FINAL_PAN: updateEndingPan(); break;
        default: break;
    }
}

void InGameScene::enter(jint next) {
    state = next;
    step = 0;
}

jboolean InGameScene::confirmed() { return keyConfirmed() || touchConfirmed(); }

jboolean InGameScene::keyConfirmed() {
    VMPtr<com::ventrix::utility::MyKey> keys = key;
    return keys != nullptr && keys->isPressed(CONFIRM_ACTION);
}

jboolean InGameScene::touchConfirmed() {
    VMPtr<com::ventrix::utility::MyPointer> touch = pointer;
    return touch != nullptr && (*touch->justPressed)[0];
}

jboolean InGameScene::pageConfirmed() {
    // Keys are taken at the start of a frame, after the last one was drawn;
    // touches after the update, before it was: the touch taken in the frame
    // that showed the page came before the page could be seen.
    const jboolean seen = !pageUnseen;
    pageUnseen = false;
    return keyConfirmed() || (seen && touchConfirmed());
}

jboolean InGameScene::turnPage() {
    VMPtr<InGameStoryBoard> board = storyBoard;
    if (!board->pageDown()) return false;
    pageUnseen = true;
    return true;
}

jint InGameScene::levelStory() {
    const jint level = sam::SamGameSave::currentLevel;
    return level >= 0 && level <= LevelLoader::LAST_LEVEL ? kLevelStories[level] : kTutorialLevelStory;
}

jint InGameScene::targetStory() {
    const jint level = sam::SamGameSave::currentLevel;
    return level >= 0 && level <= LevelLoader::LAST_LEVEL ? kTargetStories[level] : kTutorialTargetStory;
}

jint InGameScene::targetCount() { return lengthOf(targetItems.get()); }

void InGameScene::showStory(jint textId) {
    pageUnseen = true;
    VMPtr<InGameStoryBoard> board = storyBoard;
    board->setText(text(textId));
    board->setVisible(true);
    board->setActive(true);
}

void InGameScene::hideStory() {
    VMPtr<InGameStoryBoard> board = storyBoard;
    board->setVisible(false);
    board->setActive(false);
}

void InGameScene::advanceLevel() {
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    sam::SamGameSave::currentLevel += 1;
    if (sam::SamGameSave::currentLevel > sam::SamGameSave::unlockedLevel) {
        sam::SamGameSave::unlockedLevel = sam::SamGameSave::currentLevel;
        VMPtr<sam::SamGameSave> save = gameSave;
        if (save != nullptr) save->saveRecord(sam::SamGameSave::PROGRESS);
    }
}

// The music follows the player's sound answer alone: "Sound off" leaves no
// tune prepared, so neither the switch nor the start makes a sound. (The
// sound switch of the audio object is set at every start by the sound
// question and says nothing about that answer.)
void InGameScene::playMenuMusic() {
    VMPtr<AudioAndVibration> sound = AudioAndVibration::getInstance();
    sound->switchMusic(MENU_MUSIC, 0);
    sound->startMusic();
}

void InGameScene::resumeMusic() { AudioAndVibration::getInstance()->startMusic(); }

// --- pause ---------------------------------------------------------------------------------

void InGameScene::pause() {
    VMPtr<Screen> frame = pausePanel;
    if (state != PLAYING || frame == nullptr || frame->isVisible()) return;
    AudioAndVibration::getInstance()->stopAllChannels();
    VMPtr<Screen> hud = screen;
    hud->setSlotIndex(kPauseButton, kPauseButtonPressed);
    InGameObject::frozen = true;
    quietOnResume = true;
    frame->setVisible(true);
    frame->setSlotIndex(PAUSE_FRAME, PANEL_OPENING);
    VMPtr<MyObject> menu = panel;
    menu->setVisible(false);
    enter(PAUSED);
}

void InGameScene::updatePaused() {
    VMPtr<Screen> frame = pausePanel;
    VMPtr<MyListMenu> menu(dynamic_cast<MyListMenu*>(panel.get()));
    VMPtr<com::ventrix::utility::MyPointer> touch = pointer;
    if (menu == nullptr || touch == nullptr) _VM_throwNullPointer();
    const jboolean released = (*touch->justReleased)[0];
    if (confirmOpen)
        updatePauseQuestion(menu, frame, touch, released);
    else if (menu->isVisible())
        updatePauseMenu(menu, frame, released);
    else
        updatePausePanel(menu, frame);
}

void InGameScene::updatePausePanel(VMPtr<MyListMenu> menu, VMPtr<Screen> frame) {
    const jint shown = frame->getSlotIndex(PAUSE_FRAME);
    if (shown == PANEL_OPEN) {
        menu->setVisible(true);
        menu->setActive(true);
    } else if (shown == PANEL_CLOSED) {
        frame->setVisible(false);
        VMPtr<Screen> hud = screen;
        hud->setSlotIndex(kPauseButton, kPauseButtonShown);
        hud->setSlotPosition(kPauseButton, kPauseButtonX, 0);
        enter(PLAYING);
    }
}

void InGameScene::updatePauseMenu(VMPtr<MyListMenu> menu, VMPtr<Screen> frame, jboolean released) {
    if (!released) return;
    const jint entry = menu->getTappedItem();
    if (entry == MENU_RESUME) {
        menu->setActive(false);
        menu->setVisible(false);
        InGameObject::frozen = false;
        quietOnResume = false;
        resumeMusic();
        frame->setSlotIndex(PAUSE_FRAME, PANEL_CLOSING);
    } else if (entry == MENU_QUIT || entry == MENU_RESTART) {
        confirmOpen = true;
        menu->setActive(false);
        menu->setVisible(false);
        frame->setSlotIndex(PAUSE_QUESTION, FACE_QUESTION);
        frame->setSlotIndex(PAUSE_YES_FACE, FACE_YES);
        frame->setSlotIndex(PAUSE_NO_FACE, FACE_NO);
        confirmAction = entry == MENU_QUIT ? kConfirmQuit : kConfirmRestart;
        VMPtr<Addon> question = confirmDialog;
        question->setVisible(true);
        question->setLabelText(0, text(entry));
    }
}

jint InGameScene::pauseAnswer(VMPtr<Screen> frame, VMPtr<com::ventrix::utility::MyPointer> touch, jboolean released) {
    VMPtr<VMInts> work = rect;
    (*work)[0] = touch->getX(0);
    (*work)[1] = touch->getY(0);
    (*work)[2] = 1;
    (*work)[3] = 1;
    // No is box 0 of the question frame, yes box 1; the face under the
    // pointer shows pressed.
    const jint box = frame->getBoxIdAt(PAUSE_QUESTION, work);
    frame->setSlotIndex(PAUSE_NO_FACE, box == kAnswerNo ? FACE_PLAIN : FACE_NO);
    frame->setSlotIndex(PAUSE_YES_FACE, box == kAnswerYes ? FACE_PLAIN : FACE_YES);
    return released && (box == kAnswerNo || box == kAnswerYes) ? box : kAnswerNone;
}

void InGameScene::updatePauseQuestion(VMPtr<MyListMenu> menu, VMPtr<Screen> frame,
                                      VMPtr<com::ventrix::utility::MyPointer> touch, jboolean released) {
    const jboolean held = (*touch->isDown)[0];
    if (!held && !released) return;
    const jint answer = pauseAnswer(frame, touch, released);
    if (answer == kAnswerYes && confirmAction == kConfirmQuit) {
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        VMPtr<com::ventrix::utility::SceneManager> manager = sceneManager;
        // The scene is disposed of by the change: nothing of it is used after.
        manager->changeScene(sam::SamGameSave::currentLevel == LevelLoader::TUTORIAL_LEVEL ? GameScene::MAIN_MENU
                                                                                           : GameScene::BROWSE_LEVELS);
        playMenuMusic();
    } else if (answer == kAnswerYes) {
        quietOnResume = false;
        resumeMusic();
        checkpoint = -1;
        enter(RESTART);
    } else if (answer == kAnswerNo) {
        confirmAction = -1;
        confirmOpen = false;
        menu->setVisible(true);
        menu->setActive(true);
        frame->setSlotIndex(PAUSE_QUESTION, FACE_PLAIN);
        frame->setSlotIndex(PAUSE_YES_FACE, FACE_PLAIN);
        frame->setSlotIndex(PAUSE_NO_FACE, FACE_PLAIN);
        VMPtr<Addon> question = confirmDialog;
        question->setVisible(false);
    }
}

// --- play -------------------------------------------------------------------------------

void InGameScene::updatePlaying() {
    VMPtr<InGamePlayer> p = player;
    VMPtr<Screen> hud = screen;
    if (step == PLAY_CAUGHT) {
        // Caught on the frame before: the caught panel instead of the display.
        hud->setVisible(false);
        VMPtr<Screen> caught = overlayScreenA;
        caught->setVisible(true);
        caught->loadAnimation(kPanelAnimation, kCaughtImage, kCaughtSet, 0, kPanelX, kPanelY);
        caught->loadFrame(kPanelFrame, kPanelFrameImage, kPanelFrameSet, kCaughtFrame, kPanelX, kPanelY);
        caught->setSlotCount(OVERLAY_LAYERS);
        enter(CAUGHT);
        return;
    }
    if (p->isCaughtSettled()) {
        step = PLAY_CAUGHT;
        return;
    }
    if (currentTarget == InGameObject::reachedTargets) {
        const jint level = sam::SamGameSave::currentLevel;
        if (level == kLevelAwaitingItsFirstTarget) {
            VMPtr<Objects> targets = targetItems;
            InGameObject* first = lengthOf(targets.get()) > 0 ? targets->get(0) : nullptr;
            if (first != nullptr && first->getSlotIndex(0) == kFirstTargetFinished) enter(OBJECTIVE_STORY);
        } else if (level == LevelLoader::LAST_LEVEL) {
            enter(FINAL_PAN);
        } else {
            enter(OBJECTIVE_STORY);
        }
    } else {
        VMPtr<com::ventrix::utility::MyPointer> touch = pointer;
        jboolean hit = false;
        if ((*touch->justReleased)[0]) {
            VMPtr<VMInts> work = rect;
            (*work)[0] = touch->getX(0);
            (*work)[1] = touch->getY(0);
            (*work)[2] = 0;
            (*work)[3] = 0;
            hit = hud->collides(kPauseButton, 0, work);
        }
        if (hit)
            pause();
        else
            p->setExposed(true);
    }
    updateHud();
    updateCheckpoints();
}

void InGameScene::updateCaught() {
    VMPtr<Screen> caught = overlayScreenA;
    if (caught->getSlotIndex(kPanelAnimation) != kPanelOpened) return;
    caught->setSlotIndex(kPanelFrame, kPanelOpened);
    VMPtr<Addon> word = caughtWord;
    if (word != nullptr) word->setVisible(true);
    if (confirmed()) enter(RESTART);
}

// --- restart ---------------------------------------------------------------------------

void InGameScene::restartFromCheckpoint() {
    VMPtr<InGamePlayer> p = player;
    VMPtr<LevelLoader> loader = levelLoader;
    VMPtr<Screen> hud = screen;
    VMPtr<VMInts> start = loader->playerRecord;
    if (p == nullptr || start == nullptr || start->length < 3) _VM_throwNullPointer();
    VMInts* at = cameraArray(camera);
    jint next;
    if (checkpoint == -1) {
        introTarget = 0;
        VMPtr<Objects> targets = targetItems;
        InGameObject* first = lengthOf(targets.get()) > 0 ? targets->get(0) : nullptr;
        if (first != nullptr) setCameraTarget(first->getSlotX(0) - viewWidth / 2, first->getSlotY(0) - viewHeight / 2);
        hud->setVisible(false);
        InGameObject::frozen = true;
        // A fresh agent: no key taken, its own clothes, no disguise time.
        p->forgetProgress();
        p->chooseOutfit();
        p->saveState();
        p->respawn((*start)[0], (*start)[1], (*start)[2]);
        restoreKinds(true);
        // The camera over the start (where the level story shows it) in
        // this frame already: it is shown too, and would show the world
        // where the camera was left (past the world's edge after a load,
        // where the player was after a restart).
        (*at)[0] = clampX((*start)[1] - viewWidth / 4);
        (*at)[1] = clampY((*start)[2] - (p->getSlotHeight(0) + viewHeight) / 2);
        applyCamera();
        next = LEVEL_STORY;
    } else {
        VMPtr<VMIntRows> zones = loader->zoneRecords;
        if (zones == nullptr || checkpoint < 0 || checkpoint >= zones->length || zones->get(checkpoint) == nullptr)
            _VM_throwArrayIndexOutOfBoundsException(checkpoint);
        VMPtr<VMInts> zone = zones->get(checkpoint);
        const jint zx = (*zone)[0], zy = (*zone)[1], zw = (*zone)[2], zh = (*zone)[3];
        hud->setVisible(true);
        (*at)[0] = clampX(zx - viewWidth / 4);
        (*at)[1] = clampY(zy - (p->getSlotHeight(0) + viewHeight) / 2);
        applyCamera();
        InGameObject::frozen = false;
        p->respawn((*start)[0], zx + zw / 2, zy + zh);
        restoreKinds(false);
        next = PLAYING;
    }
    currentTarget = InGameObject::reachedTargets + 1;
    enter(next);
    p->endInteraction();
    p->setState(InGamePlayer::STANDING);
    VMPtr<Objects> transports = transportItems;
    for (jint i = 0; i < lengthOf(transports.get()); ++i) {
        auto* t = dynamic_cast<InGameTransportItem*>(transports->get(i));
        if (t != nullptr) t->reset(i);
    }
    VMPtr<Objects> watchers = disguisedPeople;
    for (jint i = 0; i < lengthOf(watchers.get()); ++i) {
        auto* w = dynamic_cast<InGameDisguisedPeople*>(watchers->get(i));
        if (w != nullptr) w->reset();
    }

    hud->setSlotIndex(kPauseButton, kPauseButtonShown);
    hud->setSlotPosition(kPauseButton, kPauseButtonX, 0);
    for (VMPtr<Screen> overlay : {overlayScreenB.get(), overlayScreenA.get()}) {
        if (overlay == nullptr) continue;
        if (overlay->getSlotCount() == OVERLAY_LAYERS) {
            overlay->releaseSlot(kPanelAnimation);
            overlay->releaseSlot(kPanelFrame);
            overlay->setSlotCount(0);
        }
        overlay->setVisible(false);
    }
    VMPtr<Addon> word = caughtWord;
    if (word != nullptr) word->setVisible(false);
    closePausePanel();
}

void InGameScene::restoreKinds(jboolean fromStart) {
    // Doors and fittings: closed from the start, as saved from a checkpoint
    // (fixed ones stay as they are).
    VMPtr<Objects> items = interactionItems;
    for (jint i = 0; i < lengthOf(items.get()); ++i) {
        auto* item = dynamic_cast<InGameInteractionItem*>(items->get(i));
        if (item == nullptr || item->isFixed()) continue;
        if (fromStart) {
            item->setSlotIndex(0, 0);
            item->saveState();
        } else if (item->getSavedState() != -1) {
            item->setSlotIndex(0, item->getSavedState());
        }
    }
    // Keys: back in their places from the start, as saved from a checkpoint.
    VMPtr<Objects> keys = keyItems;
    for (jint i = 0; i < lengthOf(keys.get()); ++i) {
        auto* k = dynamic_cast<InGameKeyItem*>(keys->get(i));
        if (k == nullptr) continue;
        if (fromStart)
            k->reset(i);
        else
            k->initFromRecord(i);
    }
    // Each target not yet reached lowers the count again as it is set up.
    InGameObject::reachedTargets = targetCount();
    VMPtr<Objects> targets = targetItems;
    for (jint i = 0; i < lengthOf(targets.get()); ++i) {
        auto* t = dynamic_cast<InGameTargetItem*>(targets->get(i));
        if (t == nullptr) continue;
        if (fromStart) t->clearSavedState();
        t->initFromRecord(i);
    }
}

void InGameScene::closePausePanel() {
    VMPtr<Screen> frame = pausePanel;
    if (frame == nullptr) return;
    if (frame->getSlotIndex(PAUSE_FRAME) == PANEL_OPEN) {
        frame->setSlotIndex(PAUSE_FRAME, PANEL_CLOSING);
        frame->setSlotIndex(PAUSE_QUESTION, FACE_PLAIN);
        frame->setSlotIndex(PAUSE_YES_FACE, FACE_PLAIN);
        frame->setSlotIndex(PAUSE_NO_FACE, FACE_PLAIN);
        // Bounded: a closing animation that never ends (or a frame time of
        // 0) must not hang the game.
        for (jint n = 0; n < kMostClosingUpdates && frame->getSlotIndex(PAUSE_FRAME) != PANEL_CLOSED; ++n)
            frame->update(0, 0);
        _VM_ensureInitialized(MyObject::_VM_classRecord);
        MyObject::frameTime = kLongStep;
        frame->update(0, 0);
        frame->setVisible(false);
    }
    VMPtr<MyObject> menu = panel;
    if (menu != nullptr) {
        menu->setActive(false);
        menu->setVisible(false);
    }
    VMPtr<Addon> question = confirmDialog;
    if (question != nullptr) question->setVisible(false);
    confirmOpen = false;
}

// --- the stories and pans ---------------------------------------------------------------

void InGameScene::updateLevelStory() {
    switch (step) {
        case STORY_CAMERA:
            // The restart has placed the camera over the start already.
            step = STORY_SHOW;
            break;
        case STORY_SHOW:
            showStory(levelStory());
            step = STORY_READING;
            break;
        default: {
            if (!pageConfirmed() || turnPage()) return;
            hideStory();
            enter(sam::SamGameSave::currentLevel == LevelLoader::LAST_LEVEL ? INTRO_FOLLOW : INTRO_PAN);
            break;
        }
    }
}

void InGameScene::updateIntroPan() {
    VMPtr<Objects> targets = targetItems;
    const jint n = lengthOf(targets.get());
    for (jint i = 0; i < n; ++i) {
        InGameObject* t = targets->get(i);
        if (t != nullptr) t->forceUpdate();
    }
    if (step != INTRO_PANNING) {
        enter(INTRO_FOLLOW);
        return;
    }
    // Two turns per target: the camera on its way, then its marker's
    // first animation.
    const jint i = introTarget / 2;
    InGameObject* target = i < n ? targets->get(i) : nullptr;
    if (target == nullptr) {
        step = INTRO_DONE;
        return;
    }
    if (introTarget % 2 == 0) {
        if (stepCamera()) {
            target->setSlotIndex(kMarker, kMarkerAppears);
            introTarget += 1;
        }
        applyCamera();
        return;
    }
    // The marker's first animation has run (1). A target that stays outside
    // the view, even with the camera clamped at the world's edge, has its
    // marker turned to 2 by its own update every frame and never shows 1:
    // the pan moves on rather than waiting for ever.
    const jint marker = target->getSlotIndex(kMarker);
    if (marker != kMarkerAppeared && marker != TARGET_ACTIVE) return;
    target->setSlotIndex(kMarker, TARGET_ACTIVE);
    VMPtr<LevelLoader> loader = levelLoader;
    InGameObject* following = i + 1 < loader->targetCount && i + 1 < n ? targets->get(i + 1) : nullptr;
    if (following != nullptr) {
        following->setSlotIndex(kMarker, kMarkerAppears);
        setCameraTarget(following->getSlotX(0) - viewWidth / 2, following->getSlotY(0) - viewHeight / 2);
        introTarget += 1;
    } else {
        step = INTRO_DONE;
    }
}

void InGameScene::updateIntroStory() {
    if (step == FOLLOW_CAMERA) {
        followPlayer();
        if (stepCamera()) {
            showStory(targetStory());
            step = FOLLOW_READING;
        }
        applyCamera();
        return;
    }
    if (!pageConfirmed() || turnPage()) return;
    hideStory();
    VMPtr<Screen> hud = screen;
    hud->setVisible(true);
    InGameObject::frozen = false;
    enter(PLAYING);
}

void InGameScene::updateObjectiveStory() {
    if (step == OBJECTIVE_SHOW) {
        InGameObject::frozen = true;
        showStory(targetStory() + currentTarget);
        step = OBJECTIVE_READING;
        return;
    }
    if (!pageConfirmed() || turnPage()) return;
    if (currentTarget == targetCount()) {
        if (chapterEnd(sam::SamGameSave::currentLevel)) {
            // Straight to the chapter's picture; the world stays frozen.
            advanceLevel();
            VMPtr<com::ventrix::utility::SceneManager> manager = sceneManager;
            manager->changeScene(GameScene::INTERLUDE);
            playMenuMusic();
            return;
        }
        hideStory();
        enter(LEVEL_COMPLETE);
    } else {
        enter(PLAYING);
        VMPtr<Screen> hud = screen;
        hud->setVisible(true);
        currentTarget += 1;
        hideStory();
    }
    InGameObject::frozen = false;
}

void InGameScene::updateLevelComplete() {
    VMPtr<InGamePlayer> p = player;
    switch (step) {
        case COMPLETE_CHEER:
            p->setState(InGamePlayer::CHEERING);
            step = COMPLETE_PANEL;
            break;
        case COMPLETE_PANEL: {
            if (p->getSlotIndex(0) != InGamePlayer::ANIM_CHEERING) return;
            InGameObject::frozen = true;
            VMPtr<Screen> done = overlayScreenB;
            done->loadAnimation(kPanelAnimation, kCompleteImage, kCompleteSet, 0, kPanelX, kPanelY);
            done->loadFrame(kPanelFrame, kPanelFrameImage, kPanelFrameSet, kCompleteFrame, kPanelX, kPanelY);
            done->setSlotCount(OVERLAY_LAYERS);
            done->setVisible(true);
            step = COMPLETE_PANEL_SHOWN;
            break;
        }
        default: {
            VMPtr<Screen> done = overlayScreenB;
            if (done->getSlotIndex(kPanelAnimation) != kPanelOpened) return;
            VMPtr<com::ventrix::utility::SceneManager> manager = sceneManager;
            if (sam::SamGameSave::currentLevel == LevelLoader::LAST_LEVEL) {
                manager->changeScene(GameScene::MAIN_MENU);
                playMenuMusic();
            } else {
                advanceLevel();
                manager->changeScene(GameScene::NEXT_BRIEFING);
                // The level selection between two levels has the menu's tune.
                playMenuMusic();
            }
            break;
        }
    }
}

void InGameScene::updateEndingPan() {
    switch (step) {
        case PAN_AIM: {
            // Toward the first bystander; a level without one pans to the
            // player.
            VMPtr<Objects> people = generalPeople;
            VMPtr<Screen> aim = lengthOf(people.get()) > 0 ? people->get(0) : nullptr;
            if (aim == nullptr) aim = player.get();
            setCameraTarget(aim->getSlotX(0) - viewWidth / 2,
                            aim->getSlotY(0) - viewHeight / 2 - InGameObject::depthStep / 4);
            step = PAN_MOVE;
            break;
        }
        case PAN_MOVE:
            if (stepCamera()) step = PAN_DONE;
            applyCamera();
            break;
        default: enter(OBJECTIVE_STORY); break;
    }
}

}  // namespace scene::ingame
