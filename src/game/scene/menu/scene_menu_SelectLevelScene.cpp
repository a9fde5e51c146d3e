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

// The game's screen: the card stands in its middle, the buttons in the
// bottom corners, the arrows at mid-height on the two edges.
constexpr jint SCREEN_WIDTH = 480, SCREEN_HEIGHT = 640;
constexpr jint MIDDLE_X = SCREEN_WIDTH / 2, MIDDLE_Y = SCREEN_HEIGHT / 2;
// A slide moves the card two screen widths: out on one side, in on the other.
constexpr jint SLIDE_DISTANCE = 2 * SCREEN_WIDTH;

// Card layers: the card, the level's place, the briefing panel, the level's
// number on it, then the three pictures (the interlude's in the middle one).
constexpr jint LAYER_CARD = 0, LAYER_PLACE = 1, LAYER_PANEL = 2, LAYER_NUMBER = 3;
constexpr jint LAYER_BACKDROP = 4, LAYER_SUBJECT = 5, LAYER_BADGE = 6;
constexpr jint LAYER_INTERLUDE = LAYER_SUBJECT;
// Card frames by level: its place and its number on the briefing panel.
constexpr jint LEVEL_PLACES = SelectLevelScene::CARD + 1;
constexpr jint LEVEL_NUMBERS = SelectLevelScene::BRIEFING_PANEL + 1;
// The buttons' animations: each appears, shows, goes and is gone.
constexpr jint BACK_APPEARS = 0, BACK_SHOWN = 1, BACK_GOES = 2, BACK_GONE = 3;
constexpr jint GO_APPEARS = 4, GO_SHOWN = 5, GO_GOES = 6, GO_GONE = 7;

// The levels that open the second, third and fourth chapters; an interlude
// entry stands before each of them, so a level's entry lies one further on
// for each chapter opened at or before it.
constexpr jint CHAPTERS_AFTER_THE_FIRST = 3;
constexpr jint kChapterStarts[CHAPTERS_AFTER_THE_FIRST] = {3, 6, 9};
constexpr jint kInterludeEntries[CHAPTERS_AFTER_THE_FIRST] = {3, 7, 11};

constexpr bool isInterludeEntry(jint e) {
    for (jint interlude : kInterludeEntries)
        if (e == interlude) return true;
    return false;
}

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
        // The interlude entry before a chapter's first level; the level's
        // own number otherwise.
        for (jint c = 0; c < CHAPTERS_AFTER_THE_FIRST; ++c)
            if (l == kChapterStarts[c]) return kInterludeEntries[c];
        return clampEntry(l);
    }
    jint interludes = 0;
    for (jint start : kChapterStarts)
        if (l >= start) ++interludes;
    return clampEntry(l + interludes);
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
            background->addFrame(BACKGROUND_IMAGE, BACKGROUND_SET, 0, MIDDLE_X, MIDDLE_Y);
            break;
        }
        case STEP_CARD: {
            VMPtr<Screen> c = Screen::create()->construct();
            c->setSlotCapacity(CARD_LAYERS);
            card = c;
            c->addFrame(CARD_IMAGE, CARD_SET, CARD, MIDDLE_X, MIDDLE_Y);
            break;
        }
        case STEP_LEVEL_PLACE: card->addFrame(CARD_IMAGE, CARD_SET, LEVEL_PLACES + level(), MIDDLE_X, MIDDLE_Y); break;
        case STEP_BRIEFING_PANEL: card->addFrame(CARD_IMAGE, CARD_SET, BRIEFING_PANEL, MIDDLE_X, MIDDLE_Y); break;
        case STEP_LEVEL_NUMBER:
            card->addFrame(CARD_IMAGE, CARD_SET, LEVEL_NUMBERS + level(), MIDDLE_X, MIDDLE_Y);
            break;
        case STEP_PICTURES: {
            VMPtr<Screen> c = card;
            for (jint layer = LAYER_BACKDROP; layer < CARD_LAYERS; ++layer)
                c->addFrame(CARD_IMAGE, CARD_SET, NOTHING, MIDDLE_X, MIDDLE_Y);
            break;
        }
        case STEP_BUTTONS: {
            VMPtr<Screen> b = Screen::create()->construct();
            b->setSlotCapacity(BUTTON_LAYERS);
            buttons = b;
            b->addAnimation(BUTTON_IMAGE, BUTTON_SET, BACK_APPEARS, 0, SCREEN_HEIGHT);
            break;
        }
        case STEP_FORWARD_BUTTON:
            buttons->addAnimation(BUTTON_IMAGE, BUTTON_SET, GO_APPEARS, SCREEN_WIDTH, SCREEN_HEIGHT);
            break;
        case STEP_LEFT_ARROW: {
            VMPtr<Screen> b = buttons;
            b->addAnimation(ARROW_IMAGE, ARROW_SET, ARROW_HIDDEN, 0, MIDDLE_Y);
            b->addAnimation(ARROW_IMAGE, ARROW_SET, NO_HINT, 0, MIDDLE_Y);
            // The left arrow is the right one mirrored.
            b->mirrorSlot(LEFT);
            b->mirrorSlot(LEFT_HINT);
            break;
        }
        case STEP_RIGHT_ARROW: {
            VMPtr<Screen> b = buttons;
            b->addAnimation(ARROW_IMAGE, ARROW_SET, ARROW_HIDDEN, SCREEN_WIDTH, MIDDLE_Y);
            b->addAnimation(ARROW_IMAGE, ARROW_SET, NO_HINT, SCREEN_WIDTH, MIDDLE_Y);
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
    card->getCollisionRects(LAYER_PANEL, box, 0);
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
    const jint hints[2][3] = {{LEFT, LEFT_HINT, 0}, {RIGHT, RIGHT_HINT, SCREEN_WIDTH}};
    for (const auto& h : hints) {
        if (b->getSlotIndex(h[0]) == ARROW_OFFERED) {
            if (b->getSlotIndex(h[1]) == NO_HINT) {
                b->setSlotIndex(h[1], HINT);
                b->setSlotPosition(h[1], h[2], MIDDLE_Y);
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
                    if (isInterludeEntry(entry + 1)) mode = SLIDE_FORWARD_INTERLUDE;
                    entry = clampEntry(entry + 1);
                    break;
                case SLIDE_BACK:
                    if (isInterludeEntry(entry - 1)) mode = SLIDE_BACK_INTERLUDE;
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
        x = forward ? (SLIDE - t) * SLIDE_DISTANCE / SLIDE : (t - SLIDE) * SLIDE_DISTANCE / SLIDE;
    } else if (t <= 0) {
        mode = fromInterlude ? BROWSE_INTERLUDE : GameScene::BROWSE_LEVELS;
        x = 0;
    } else {
        x = forward ? (HALF - t) * SLIDE_DISTANCE / SLIDE - SCREEN_WIDTH
                    : (t - HALF) * SLIDE_DISTANCE / SLIDE + SCREEN_WIDTH;
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
    if (b->getSlotIndex(BACK) == BACK_GONE && b->getSlotIndex(GO) == GO_GONE) {
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
    c->loadFrame(layer, CARD_IMAGE, CARD_SET, NOTHING, MIDDLE_X, MIDDLE_Y);
}

void SelectLevelScene::loadPicture(jint layer, jint imageId) {
    VMPtr<Screen> c = card;
    c->loadResource(layer, imageId);
    c->setSlotPosition(layer, MIDDLE_X, MIDDLE_Y);
}

void SelectLevelScene::setPanelVisible(jboolean visible) {
    VMPtr<MyObject> p = panel;
    if (p != nullptr) p->setVisible(visible);
}

void SelectLevelScene::showBriefing() {
    const jint l = level();
    setCardFrame(LAYER_CARD, NOTHING);
    setCardFrame(LAYER_PLACE, NOTHING);
    setCardFrame(LAYER_PANEL, BRIEFING_PANEL);
    setCardFrame(LAYER_NUMBER, LEVEL_NUMBERS + l);
    loadPicture(LAYER_BACKDROP, BACKDROPS + kBackdrop[l]);
    loadPicture(LAYER_SUBJECT, SUBJECTS + kSubject[l]);
    loadPicture(LAYER_BADGE, BADGES + kBadge[l]);
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
    // One picture per chapter opened, shown from the level before its
    // first level; other levels keep what the layer shows.
    const jint l = level();
    for (jint c = 0; c < CHAPTERS_AFTER_THE_FIRST; ++c)
        if (l == kChapterStarts[c] - 1 || l == kChapterStarts[c]) loadPicture(LAYER_INTERLUDE, INTERLUDE_PICTURES + c);
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
            setCardFrame(LAYER_CARD, CARD);
            setCardFrame(LAYER_PLACE, LEVEL_PLACES + level());
            setCardFrame(LAYER_PANEL, NOTHING);
            setCardFrame(LAYER_NUMBER, NOTHING);
            for (jint layer = LAYER_BACKDROP; layer < CARD_LAYERS; ++layer) clearCardLayer(layer);
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
            for (jint layer = LAYER_CARD; layer < LAYER_BACKDROP; ++layer) setCardFrame(layer, NOTHING);
            showInterludePicture();
            hideArrows();
            hideButtons();
            countdown = COUNTDOWN;
            break;
        case SLIDE_FORWARD:
        case SLIDE_BACK: {
            setCardFrame(LAYER_CARD, CARD);
            setCardFrame(LAYER_PLACE, LEVEL_PLACES + level());
            for (jint layer = LAYER_PANEL; layer < LAYER_SUBJECT; ++layer) setCardFrame(layer, NOTHING);
            clearCardLayer(LAYER_SUBJECT);
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
            for (jint layer = LAYER_CARD; layer < LAYER_BACKDROP; ++layer) setCardFrame(layer, NOTHING);
            setCardFrame(LAYER_BACKDROP, CARD);
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
    animate(BACK, BACK_APPEARS, BACK_SHOWN);
    animate(GO, GO_APPEARS, GO_SHOWN);
}

void SelectLevelScene::hideButtons() {
    animate(BACK, BACK_GOES, BACK_GONE);
    animate(GO, GO_GOES, GO_GONE);
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
