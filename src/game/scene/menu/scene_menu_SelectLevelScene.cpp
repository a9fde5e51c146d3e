// scene.menu.SelectLevelScene: the level selection, the briefings and the stop between two levels.
#include "scene_menu_SelectLevelScene.h"

#include "com_ventrix_ui_LoadingPage.h"
#include "com_ventrix_utility_MyFont.h"
#include "global_GameScene.h"
#include "sam_SamGameSave.h"

namespace scene::menu {

using com::ventrix::ui::LoadingPage;
using com::ventrix::utility::MyKey;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::SceneManager;
using global::GameScene;

namespace {

constexpr jint kEntryLevels[SelectLevelScene::ENTRIES] = {0, 1, 2, 2, 3, 4, 5, 5, 6, 7, 8, 8, 9, 10};
constexpr jint LEVELS = 11;
// Per level: the briefing's text (32 + value) and its three pictures.
constexpr jint kBriefingText[LEVELS] = {1, 2, 0, 4, 5, 2, 4, 1, 2, 3, 4};
constexpr jint kBackdrop[LEVELS] = {1, 4, 3, 0, 2, 4, 5, 1, 4, 5, 0};
constexpr jint kSubject[LEVELS] = {6, 7, 2, 0, 4, 5, 0, 3, 1, 8, 0};
constexpr jint kBadge[LEVELS] = {0, 0, 1, 2, 3, 1, 2, 4, 4, 0, 2};
constexpr jint BRIEFING_TEXTS = 32;

// The screens' steps (the stage-0 counter), in the order they run: every
// step after STEP_SCREEN counts down by one; back at 0 ends the stage.
constexpr jint STEP_SCREEN = 0, STEP_BACKGROUND = 11, STEP_CARD = 10, STEP_LEVEL_PLACE = 9, STEP_BRIEFING_PANEL = 8,
               STEP_LEVEL_NUMBER = 7, STEP_PICTURES = 6, STEP_BUTTONS = 5, STEP_FORWARD_BUTTON = 4, STEP_LEFT_ARROW = 3,
               STEP_RIGHT_ARROW = 2, STEP_SHOW = 1;
static_assert(STEP_BACKGROUND == SelectLevelScene::SCREEN_STEPS);

constexpr jint clampEntry(jint e) {
    return e < 0 ? 0 : e > SelectLevelScene::LAST_ENTRY ? SelectLevelScene::LAST_ENTRY : e;
}

}  // namespace

// --- construction ---------------------------------------------------------------------

VMPtr<SelectLevelScene> SelectLevelScene::construct(jint sceneId) {
    Super::construct();
    VMPtr<VMInts> table = VMInts::create(ENTRIES);
    for (jint i = 0; i < ENTRIES; ++i) (*table)[i] = kEntryLevels[i];
    entryLevels = table;
    pointer = nullptr;
    key = nullptr;
    mode = sceneId;
    pointer = MyPointer::getInstance();
    key = MyKey::getInstance();
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    highestLevel = sam::SamGameSave::unlockedLevel;
    entry = entryOf(sceneId, sam::SamGameSave::currentLevel);
    VMPtr<LoadingPage> page = loadingPage;
    page->begin(LOADING_STEPS);
    return this;
}

jint SelectLevelScene::entryOf(jint sceneId, jint l) {
    if (sceneId == GameScene::INTERLUDE) {
        // The interlude entry before the level: 3, 7 and 11 for levels 3, 6
        // and 9.
        if (l == 6) return 7;
        if (l == 9) return 11;
        return clampEntry(l);
    }
    if (l <= 2) return clampEntry(l);
    if (l <= 5) return clampEntry(l + 1);
    if (l <= 8) return l + 2;
    return clampEntry(l + 3);
}

jint SelectLevelScene::level() {
    VMPtr<VMInts> table = entryLevels;
    return (*table)[clampEntry(entry)];
}

void SelectLevelScene::markReferences(uint32_t bits) {
    Super::markReferences(bits);
    _VM_markRef(buttons, bits);
    _VM_markRef(card, bits);
    _VM_markRef(key, bits);
    _VM_markRef(entryLevels, bits);
    _VM_markRef(pointer, bits);
}

// --- loading ------------------------------------------------------------------------------

void SelectLevelScene::loadStage0() {
    switch (stage0Busy) {
        case STEP_SCREEN: {
            VMPtr<Screen> background = Screen::create()->construct();
            background->setSlotCapacity(1);
            screen = background;
            stage0Busy = SCREEN_STEPS + 1;
            break;
        }
        case STEP_BACKGROUND: {
            VMPtr<Screen> background = screen;
            background->addFrame(BACKGROUND_IMAGE, BACKGROUND_SET, 0, 240, 320);
            break;
        }
        case STEP_CARD: {
            VMPtr<Screen> c = Screen::create()->construct();
            c->setSlotCapacity(CARD_LAYERS);
            card = c;
            c->addFrame(CARD_IMAGE, CARD_SET, CARD, 240, 320);
            break;
        }
        case STEP_LEVEL_PLACE: card->addFrame(CARD_IMAGE, CARD_SET, level() + 1, 240, 320); break;
        case STEP_BRIEFING_PANEL: card->addFrame(CARD_IMAGE, CARD_SET, BRIEFING_PANEL, 240, 320); break;
        case STEP_LEVEL_NUMBER: card->addFrame(CARD_IMAGE, CARD_SET, level() + 13, 240, 320); break;
        case STEP_PICTURES: {
            VMPtr<Screen> c = card;
            for (jint i = 0; i < 3; ++i) c->addFrame(CARD_IMAGE, CARD_SET, NOTHING, 240, 320);
            break;
        }
        case STEP_BUTTONS: {
            VMPtr<Screen> b = Screen::create()->construct();
            b->setSlotCapacity(BUTTON_LAYERS);
            buttons = b;
            b->addAnimation(BUTTON_IMAGE, BUTTON_SET, 0, 0, 640);
            break;
        }
        case STEP_FORWARD_BUTTON: buttons->addAnimation(BUTTON_IMAGE, BUTTON_SET, 4, 480, 640); break;
        case STEP_LEFT_ARROW: {
            VMPtr<Screen> b = buttons;
            b->addAnimation(ARROW_IMAGE, ARROW_SET, ARROW_HIDDEN, 0, 320);
            b->addAnimation(ARROW_IMAGE, ARROW_SET, NO_HINT, 0, 320);
            // The left arrow is the right one mirrored.
            b->mirrorSlot(LEFT);
            b->mirrorSlot(LEFT_HINT);
            break;
        }
        case STEP_RIGHT_ARROW: {
            VMPtr<Screen> b = buttons;
            b->addAnimation(ARROW_IMAGE, ARROW_SET, ARROW_HIDDEN, 480, 320);
            b->addAnimation(ARROW_IMAGE, ARROW_SET, NO_HINT, 480, 320);
            break;
        }
        case STEP_SHOW:
            addObject(screen);
            addObject(card);
            addObject(buttons);
            break;
        default: stage0Busy = 1; break;  // not reached: the counter runs 11 to 1
    }
    stage0Busy -= 1;
    stepLoadingPage();
}

void SelectLevelScene::loadStage1() { stage1Busy = 0; }

void SelectLevelScene::loadStage2() {
    VMPtr<Addon> text = Addon::create()->construct();
    panel = text;
    text->initLabels(1);
    VMPtr<VMInts> box = rect;
    card->getCollisionRects(2, box, 0);
    text->addLabel(VM_STR(" "), (*box)[0], (*box)[1], (*box)[2], (*box)[3]);
    text->setLabelFont(0, 0);
    text->setVisible(false);
    addObject(text);
    showMode();
    stage2Busy = 0;
    stepLoadingPage();
}

void SelectLevelScene::paintScene(VMPtr<Graphics>) {}

// --- every frame ------------------------------------------------------------------------

void SelectLevelScene::update() {
    Super::update();
    if (loading) return;
    VMPtr<Screen> b = buttons;
    if (b == nullptr) return;  // never loaded
    // The hints beside an offered arrow.
    const jint hints[2][3] = {{LEFT, LEFT_HINT, 0}, {RIGHT, RIGHT_HINT, 480}};
    for (const auto& h : hints) {
        if (b->getSlotIndex(h[0]) == ARROW_OFFERED) {
            if (b->getSlotIndex(h[1]) == NO_HINT) {
                b->setSlotIndex(h[1], HINT);
                b->setSlotPosition(h[1], h[2], 320);
            }
        } else {
            b->setSlotIndex(h[1], NO_HINT);
        }
    }
    switch (mode) {
        case GameScene::BROWSE_LEVELS:
        case GameScene::BRIEFING:
        case GameScene::NEXT_BRIEFING:
        case GameScene::INTERLUDE:
        case BROWSE_INTERLUDE: handleInput(); break;
        case SLIDE_FORWARD: slideForward(); break;
        case SLIDE_BACK: slideBack(); break;
        case START: waitForStart(); break;
        case SLIDE_FORWARD_INTERLUDE: slideForwardInterlude(); break;
        case SLIDE_BACK_INTERLUDE: slideBackInterlude(); break;
        default: break;
    }
}

jint SelectLevelScene::hit() {
    VMPtr<MyPointer> touch = pointer;
    VMPtr<VMBooleans> released = touch->justReleased;
    if (!(*released)[0]) return -1;
    VMPtr<VMInts> area = rect;
    (*area)[0] = touch->getX(0);
    (*area)[1] = touch->getY(0);
    (*area)[2] = 1;
    (*area)[3] = 1;
    VMPtr<Screen> b = buttons;
    for (jint layer : {LEFT, RIGHT, BACK, GO}) {
        if (b->collides(layer, 0, area)) return layer;
    }
    return -1;
}

void SelectLevelScene::handleInput() {
    const jint touched = hit();
    VMPtr<Screen> b = buttons;
    // An arrow moves only while it is offered: a hidden arrow keeps its
    // touch area. The right one stops at the last entry.
    const jint rightShows = b->getSlotIndex(RIGHT);
    const bool rightOffered = (rightShows == ARROW_APPEARS || rightShows == ARROW_OFFERED) && entry < LAST_ENTRY;
    const bool leftMoves = touched == LEFT && level() != 0 && entry > 0;
    const bool rightMoves = touched == RIGHT && rightOffered;
    switch (mode) {
        case GameScene::BROWSE_LEVELS:
        case BROWSE_INTERLUDE: {
            const bool onInterlude = mode == BROWSE_INTERLUDE;
            if (leftMoves) {
                slideTime = SLIDE;
                mode = onInterlude ? SLIDE_BACK_INTERLUDE : SLIDE_BACK;
                showMode();
            } else if (rightMoves) {
                slideTime = SLIDE;
                mode = onInterlude ? SLIDE_FORWARD_INTERLUDE : SLIDE_FORWARD;
                showMode();
            } else if (!onInterlude && touched == BACK) {
                VMPtr<SceneManager> manager = sceneManager;
                manager->changeScene(GameScene::MAIN_MENU);
            } else if (!onInterlude && touched == GO) {
                mode = GameScene::BRIEFING;
                showMode();
            }
            break;
        }
        case GameScene::BRIEFING:
            if (touched == BACK) {
                mode = GameScene::BROWSE_LEVELS;
                showMode();
            } else if (touched == GO) {
                mode = START;
                showMode();
            }
            break;
        case GameScene::NEXT_BRIEFING:
        case GameScene::INTERLUDE: {
            VMPtr<MyPointer> touch = pointer;
            VMPtr<VMBooleans> pressed = touch->justPressed;
            VMPtr<VMBooleans> up = touch->isUp;
            VMPtr<MyKey> keys = key;
            // The briefing starts only on a touch that begins now; the
            // picture steps on with any new press.
            const bool press = mode == GameScene::NEXT_BRIEFING ? (*pressed)[0] && !(*up)[0] : (*pressed)[0];
            const bool advance = press || keys->isReleased(FIRE);
            countdown -= frameTime;
            if (countdown < 0 || advance) {
                if (mode == GameScene::NEXT_BRIEFING) {
                    VMPtr<SceneManager> manager = sceneManager;
                    manager->changeScene(GameScene::LEVEL);
                } else {
                    countdown = COUNTDOWN;
                    entry = clampEntry(entry + 1);
                    mode = GameScene::NEXT_BRIEFING;
                    showMode();
                }
            }
            break;
        }
        default: break;
    }
}

// --- slides ---------------------------------------------------------------------------------

void SelectLevelScene::slideForward() { slide(SLIDE_FORWARD); }
void SelectLevelScene::slideBack() { slide(SLIDE_BACK); }
void SelectLevelScene::slideForwardInterlude() { slide(SLIDE_FORWARD_INTERLUDE); }
void SelectLevelScene::slideBackInterlude() { slide(SLIDE_BACK_INTERLUDE); }

void SelectLevelScene::slide(jint running) {
    const bool forward = running == SLIDE_FORWARD || running == SLIDE_FORWARD_INTERLUDE;
    const bool fromInterlude = running == SLIDE_FORWARD_INTERLUDE || running == SLIDE_BACK_INTERLUDE;
    const jint d = frameTime;
    const jint t = slideTime;
    jint x;
    if (t > HALF) {
        if (t - d <= HALF) {
            // The midpoint: the next entry comes in.
            switch (running) {
                case SLIDE_FORWARD:
                    if (entry == 2 || entry == 6 || entry == 10) mode = SLIDE_FORWARD_INTERLUDE;
                    entry = clampEntry(entry + 1);
                    break;
                case SLIDE_BACK:
                    if (entry == 4 || entry == 8 || entry == 12) mode = SLIDE_BACK_INTERLUDE;
                    entry = clampEntry(entry - 1);
                    break;
                case SLIDE_FORWARD_INTERLUDE:
                    entry = clampEntry(entry + 1);
                    mode = SLIDE_FORWARD;
                    break;
                default:
                    entry = clampEntry(entry - 1);
                    mode = SLIDE_BACK;
                    break;
            }
            showMode();
        }
        x = forward ? (1000 - t) * 960 / 1000 : (t - 1000) * 960 / 1000;
    } else if (t <= 0) {
        mode = fromInterlude ? BROWSE_INTERLUDE : GameScene::BROWSE_LEVELS;
        x = 0;
    } else {
        x = forward ? (HALF - t) * 960 / 1000 - 480 : (t - HALF) * 960 / 1000 + 480;
    }
    VMPtr<Screen> c = card;
    c->setOrigin(x, 0);
    if (t > HALF) {
        const jint next = t - 2 * d;
        slideTime = next < HALF ? HALF : next;
    } else {
        slideTime = t - 2 * d;
    }
}

void SelectLevelScene::waitForStart() {
    VMPtr<Screen> b = buttons;
    if (b->getSlotIndex(BACK) == 3 && b->getSlotIndex(GO) == 7) {
        VMPtr<SceneManager> manager = sceneManager;
        manager->changeScene(GameScene::LEVEL);
    }
}

// --- the display -------------------------------------------------------------------------

void SelectLevelScene::setCardFrame(jint layer, jint frame) {
    VMPtr<Screen> c = card;
    c->setSlotIndex(layer, frame);
}

void SelectLevelScene::clearCardLayer(jint layer) {
    VMPtr<Screen> c = card;
    c->loadFrame(layer, CARD_IMAGE, CARD_SET, NOTHING, 240, 320);
}

void SelectLevelScene::loadPicture(jint layer, jint imageId) {
    VMPtr<Screen> c = card;
    c->loadResource(layer, imageId);
    c->setSlotPosition(layer, 240, 320);
}

void SelectLevelScene::setPanelVisible(jboolean visible) {
    VMPtr<MyObject> p = panel;
    if (p != nullptr) p->setVisible(visible);
}

void SelectLevelScene::showBriefing() {
    const jint l = level();
    setCardFrame(0, NOTHING);
    setCardFrame(1, NOTHING);
    setCardFrame(2, BRIEFING_PANEL);
    setCardFrame(3, l + 13);
    loadPicture(4, BACKDROPS + kBackdrop[l]);
    loadPicture(5, SUBJECTS + kSubject[l]);
    loadPicture(6, BADGES + kBadge[l]);
    VMPtr<Addon> text = VMPtr<Addon>(dynamic_cast<Addon*>(panel.get()));
    if (text != nullptr) {
        // The text table the scene took when made, else the one loaded since.
        VMPtr<ts::util::text::Translation> table = translation;
        if (table == nullptr) table = com::ventrix::utility::MyFont::getInstance()->texts;
        if (table == nullptr) _VM_throwNullPointer();
        text->setLabelText(0, table->getString(BRIEFING_TEXTS + kBriefingText[l]));
        text->setVisible(true);
    }
}

void SelectLevelScene::showInterludePicture() {
    const jint l = level();
    jint picture = -1;
    if (l == 2 || l == 3) picture = 0;
    if (l == 5 || l == 6) picture = 1;
    if (l == 8 || l == 9) picture = 2;
    if (picture >= 0) loadPicture(5, INTERLUDE_PICTURES + picture);
}

void SelectLevelScene::liftCard(jint lift) {
    VMPtr<Screen> c = card;
    c->setOrigin(c->getOriginX(), lift);
    VMPtr<Addon> text = VMPtr<Addon>(dynamic_cast<Addon*>(panel.get()));
    if (text != nullptr) text->setOffset(0, lift);
}

void SelectLevelScene::showMode() {
    // The briefing (and the mission starting from it) stands higher; every
    // other card in its place.
    liftCard(mode == GameScene::BRIEFING || mode == GameScene::NEXT_BRIEFING || mode == START ? BRIEFING_LIFT : 0);
    switch (mode) {
        case GameScene::BROWSE_LEVELS:
            setCardFrame(0, CARD);
            setCardFrame(1, level() + 1);
            setCardFrame(2, NOTHING);
            setCardFrame(3, NOTHING);
            for (jint layer = 4; layer < CARD_LAYERS; ++layer) clearCardLayer(layer);
            showButtons();
            showArrows();
            setPanelVisible(false);
            break;
        case GameScene::BRIEFING:
        case GameScene::NEXT_BRIEFING:
            _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
            sam::SamGameSave::currentLevel = level();
            showBriefing();
            if (mode == GameScene::BRIEFING) {
                showButtons();
            } else {
                hideButtons();
                countdown = COUNTDOWN;
            }
            hideArrows();
            break;
        case GameScene::INTERLUDE:
            for (jint layer = 0; layer < 4; ++layer) setCardFrame(layer, NOTHING);
            showInterludePicture();
            hideArrows();
            hideButtons();
            countdown = COUNTDOWN;
            break;
        case SLIDE_FORWARD:
        case SLIDE_BACK: {
            setCardFrame(0, CARD);
            setCardFrame(1, level() + 1);
            for (jint layer = 2; layer < 5; ++layer) setCardFrame(layer, NOTHING);
            clearCardLayer(5);
            if (slideTime == SLIDE) {
                hideButtons();
                hideArrows();
            } else {
                showButtons();
                showArrows();
            }
            VMPtr<Screen> b = buttons;
            b->setSlotIndex(LEFT_HINT, NO_HINT);
            b->setSlotIndex(RIGHT_HINT, NO_HINT);
            setPanelVisible(false);
            break;
        }
        case START: hideButtons(); break;
        case SLIDE_FORWARD_INTERLUDE:
        case SLIDE_BACK_INTERLUDE:
            for (jint layer = 0; layer < 4; ++layer) setCardFrame(layer, NOTHING);
            setCardFrame(4, CARD);
            showInterludePicture();
            if (slideTime == SLIDE) {
                hideArrows();
            } else {
                showArrows();
            }
            break;
        default: break;
    }
}

void SelectLevelScene::animate(jint layer, jint animation, jint unless) {
    VMPtr<Screen> b = buttons;
    if (b->getSlotIndex(layer) != unless) b->setSlotIndex(layer, animation);
}

void SelectLevelScene::showButtons() {
    animate(BACK, 0, 1);
    animate(GO, 4, 5);
}

void SelectLevelScene::hideButtons() {
    animate(BACK, 2, 3);
    animate(GO, 6, 7);
}

void SelectLevelScene::showArrows() {
    const jint l = level();
    if (l != 0) {
        animate(LEFT, ARROW_APPEARS, ARROW_OFFERED);
    } else {
        animate(LEFT, ARROW_HIDDEN, ARROW_HIDDEN);
    }
    if (l == highestLevel) {
        animate(RIGHT, ARROW_HIDDEN, ARROW_HIDDEN);
    } else {
        animate(RIGHT, ARROW_APPEARS, ARROW_OFFERED);
    }
    VMPtr<Screen> b = buttons;
    b->setSlotIndex(LEFT_HINT, NO_HINT);
    b->setSlotIndex(RIGHT_HINT, NO_HINT);
}

void SelectLevelScene::hideArrows() {
    animate(LEFT, ARROW_GOES, ARROW_HIDDEN);
    animate(RIGHT, ARROW_GOES, ARROW_HIDDEN);
    VMPtr<Screen> b = buttons;
    b->setSlotIndex(LEFT_HINT, NO_HINT);
    b->setSlotIndex(RIGHT_HINT, NO_HINT);
}

}  // namespace scene::menu

VM_REGISTER_CLASS(scene::menu::SelectLevelScene, .name = "scene.menu.SelectLevelScene")
