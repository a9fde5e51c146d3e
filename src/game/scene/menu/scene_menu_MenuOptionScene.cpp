// scene.menu.MenuOptionScene: the option and information pages, one class for six scenes.
#include "scene_menu_MenuOptionScene.h"

#include "com_ventrix_common_Main.h"
#include "global_GameScene.h"
#include "java_lang_StringBuffer.h"

namespace scene::menu {

using com::ventrix::common::Main;
using com::ventrix::ui::Addon;
using com::ventrix::ui::LoadingPage;
using com::ventrix::ui::Screen;
using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::MyKey;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::SceneManager;
using global::GameScene;
using java::lang::String;
using sam::SamGameSave;

namespace {

// The start-up sound question's tables: the sounds, and per cue its sound.
constexpr jint kSoundIds[6] = {0x5405, 0x5400, 0x5401, 0x5402, 0x5403, 0x5404};
constexpr jint kCueSounds[12] = {4, 4, 1, 2, 5, 1, 2, 3, 3, 4, 2, 0};
constexpr jint kMusicCue = 11;

// The page's steps (the stage-0 counter), in the order they run; after
// STEP_BUTTONS the counter counts the buttons down, and back at 0 ends the
// stage.
constexpr jint STEP_SCREEN = 0, STEP_BACKGROUND = 8, STEP_TITLE_BAND = 7, STEP_BUTTONS = 6;

}  // namespace

jint MenuOptionScene::pageKindOf(jint sceneId) {
    switch (sceneId) {
        case GameScene::HELP_PAGE: return HELP;
        case GameScene::SOUND_PAGE: return SOUND;
        case GameScene::SETTINGS_PAGE: return SETTINGS;
        case GameScene::INFORMATION_PAGE: return INFORMATION;
        case GameScene::START_HELP_PAGE: return START_HELP;
        case GameScene::START_SOUND_PAGE: return START_SOUND;
        default: return HELP;
    }
}

VMPtr<MenuOptionScene> MenuOptionScene::construct(jint sceneId) {
    Super::construct();
    _VM_ensureInitialized(Main::_VM_classRecord);
    VMPtr<com::ventrix::common::Game> save = Main::game;
    gameSave = save != nullptr ? VMPtr<SamGameSave>(dynamic_cast<SamGameSave*>(save.get())) : nullptr;
    if (pointer == nullptr) pointer = MyPointer::getInstance();
    if (key == nullptr) key = MyKey::getInstance();
    VMPtr<LoadingPage> page = loadingPage;
    page->begin(LOADING_STEPS);
    pageKind = pageKindOf(sceneId);
    return this;
}

VMPtr<String> MenuOptionScene::text(jint id) {
    VMPtr<ts::util::text::Translation> texts = translation;
    if (texts == nullptr) _VM_throwNullPointer();
    return texts->getString(id);
}

void MenuOptionScene::band(jint box) {
    VMPtr<Screen> s = screen;
    VMPtr<VMInts> work = rect;
    s->getCollisionRects(0, work, box);
    (*work)[0] = 0;
    (*work)[1] -= Screen::SCREEN_HEIGHT / 2;
    (*work)[2] = Screen::SCREEN_WIDTH;
}

// --- loading ------------------------------------------------------------------------------

void MenuOptionScene::loadStage0() { loadPage(); }

void MenuOptionScene::loadPage() {
    switch (stage0Busy) {
        case STEP_SCREEN: {
            VMPtr<Screen> s = Screen::create()->construct();
            screen = s;
            s->setSlotCapacity(2);
            stage0Busy = STEP_BACKGROUND;
            break;
        }
        case STEP_BACKGROUND: {
            VMPtr<Screen> s = screen;
            s->addFrame(BACKGROUND_IMAGE, BACKGROUND_SET, 0, 240, 320);
            addObject(s);
            stage0Busy = STEP_TITLE_BAND;
            break;
        }
        case STEP_TITLE_BAND: {
            // The title band and the line under it, then the back control.
            VMPtr<Screen> s = screen;
            s->setRectCapacity(2);
            band(0);
            s->setRect(0, rect, TITLE_BAND_COLOUR);
            band(1);
            s->setRect(1, rect, 0x000000);
            s->addFrame(CORNER_IMAGE, CORNER_SET, 3, 0, 640);
            stage0Busy = STEP_BUTTONS;
            break;
        }
        case STEP_BUTTONS:
            buttons = Buttons::create(BUTTONS);
            stage0Busy = BUTTONS;
            break;
        default: {
            // Counters 5 to 1: button counter - 1.
            const jint i = stage0Busy - 1;
            if (i < 0 || i >= BUTTONS) {
                stage0Busy = 0;
                break;
            }
            VMPtr<MenuButton> b = MenuButton::create()->construct();
            b->setKind(0);
            b->setup(i);
            b->setVisible(false);
            b->setPressed(false);
            addObject(b);
            VMPtr<Buttons> list = buttons;
            list->set(i, b);
            stage0Busy = i;
            break;
        }
    }
    stepLoadingPage();
}

void MenuOptionScene::loadStage2() { loadPanel(); }

void MenuOptionScene::loadPanel() {
    VMPtr<Addon> p = Addon::create()->construct();
    panel = p;
    if (pageKind == INFORMATION) {
        p->loadPanelResources(INFO_IMAGE, INFO_SET);
        p->setPanelFrame(0);
        p->setFontIndex(0);
        VMPtr<java::lang::StringBuffer> body = java::lang::StringBuffer::create()->construct();
        body->append(text(20));
        body->append(VM_STR("\n"));
        body->append(text(21));
        body->append(VM_STR("1.98.36"));
        body->append(VM_STR("\n\n"));
        body->append(text(27));
        p->setText(body->toString());
        p->setActive(true);
        p->setScrollable(true);
        p->initLabels(1);
        band(0);
        VMPtr<VMInts> work = rect;
        p->addLabel(13, (*work)[0], (*work)[1], (*work)[2], (*work)[3]);
        p->setLabelFont(0, 1);
    } else {
        p->initLabels(1);
        band(0);
        VMPtr<VMInts> work = rect;
        p->addLabel(0, (*work)[0], (*work)[1], (*work)[2], (*work)[3]);
        p->setLabelFont(0, 1);
        p->setActive(true);
    }
    addObject(p);
    stepLoadingPage();
    setupPage();
}

void MenuOptionScene::installSounds() {
    VMPtr<AudioAndVibration> sound = audio;
    VMPtr<VMInts> ids = VMInts::create(6);
    for (jint i = 0; i < 6; ++i) (*ids)[i] = kSoundIds[i];
    sound->setSoundIds(ids);
    VMPtr<VMIntRows> cues = VMIntRows::create(12, 1);
    for (jint i = 0; i < 12; ++i) (*cues->get(i))[0] = kCueSounds[i];
    sound->setCueTable(cues);
    sound->setMuted(true);
}

void MenuOptionScene::setupPage() {
    VMPtr<Addon> p = dynamic_cast<Addon*>(panel.get());
    VMPtr<Buttons> list = buttons;
    if (p == nullptr || list == nullptr) _VM_throwNullPointer();
    auto show = [&](jint i, jint kind, jint index) {
        VMPtr<MenuButton> b = list->get(i);
        b->setKind(kind);
        b->setup(index);
        b->setVisible(true);
    };
    auto hideFrom = [&](jint first) {
        for (jint i = first; i < BUTTONS; ++i) list->get(i)->setVisible(false);
    };
    switch (pageKind) {
        case HELP:
        case START_HELP:
            p->setLabelText(0, text(1));
            for (jint i = 0; i < BUTTONS; ++i) show(i, 0, i);
            break;
        case SETTINGS:
            _VM_ensureInitialized(SamGameSave::_VM_classRecord);
            p->setLabelText(0, text(18));
            show(0, 2, SamGameSave::soundSetting);
            show(1, 2, SamGameSave::optionIndex + 2);
            hideFrom(2);
            break;
        case SOUND:
        case START_SOUND:
            p->setLabelText(0, text(12));
            show(0, 1, 0);
            show(1, 1, 1);
            hideFrom(2);
            if (pageKind == START_SOUND) installSounds();
            break;
        default: break;
    }
    VMPtr<Screen> s = screen;
    s->setSlotIndex(1, pageKind == START_HELP || pageKind == START_SOUND ? 3 : 2);
    pressedIndex = -1;
}

// --- input ----------------------------------------------------------------------------------

void MenuOptionScene::update() {
    Super::update();
    if (loading) return;
    if (pageKind == SOUND || pageKind == START_SOUND)
        handleSoundPage();
    else if (pageKind == INFORMATION)
        handleTextPage();
}

void MenuOptionScene::handleSoundPage() {
    VMPtr<MyPointer> p = pointer;
    VMPtr<VMBooleans> pressed = p->justPressed;
    if (!(*pressed)[0]) return;
    VMPtr<VMInts> work = rect;
    (*work)[0] = p->getX(0);
    (*work)[1] = p->getY(0);
    (*work)[2] = 1;
    (*work)[3] = 1;
    VMPtr<Buttons> list = buttons;
    jboolean hit = false;
    _VM_ensureInitialized(SamGameSave::_VM_classRecord);
    for (jint i = 0; i < 2; ++i) {
        VMPtr<MenuButton> b = list->get(i);
        if (b->collides(0, MenuButton::TOUCH_BOX, work)) {
            SamGameSave::soundSetting = i;
            hit = true;
        }
    }
    VMPtr<SceneManager> manager = sceneManager;
    if (hit) {
        VMPtr<SamGameSave> save = gameSave;
        if (save != nullptr) save->saveRecord(SamGameSave::OPTIONS);
        VMPtr<AudioAndVibration> sound = audio;
        if (SamGameSave::soundSetting == 0) {
            sound->stopMusic();
        } else {
            sound->playMusic(kMusicCue);
            sound->startMusic();
        }
        manager->changeScene(GameScene::MAIN_MENU);
        return;
    }
    VMPtr<Screen> s = screen;
    if (s->collides(1, 0, work)) manager->changeScene(GameScene::MAIN_MENU);
}

void MenuOptionScene::handleTextPage() {
    jboolean back = false, up = false, down = false;
    VMPtr<MyPointer> p = pointer;
    VMPtr<VMBooleans> pressed = p->justPressed;
    if ((*pressed)[0]) {
        VMPtr<VMInts> work = rect;
        (*work)[0] = p->getX(0);
        (*work)[1] = p->getY(0);
        (*work)[2] = 1;
        (*work)[3] = 1;
        VMPtr<Screen> s = screen;
        if (s->collides(1, 0, work)) {
            back = true;
        } else {
            VMPtr<Addon> body = dynamic_cast<Addon*>(panel.get());
            if (body == nullptr) return;
            VMPtr<VMInts> area = body->getTextBox();
            (*area)[3] /= 2;
            if (p->isInRect(area, 0)) {
                up = true;
            } else {
                (*area)[1] += (*area)[3];
                if (p->isInRect(area, 0)) down = true;
            }
        }
    }
    VMPtr<MyKey> keys = key;
    if (keys->isPressed(KEY_BACK))
        back = true;
    else if (keys->isPressed(KEY_UP))
        up = true;
    else if (keys->isPressed(KEY_DOWN))
        down = true;

    if (back) {
        VMPtr<SceneManager> manager = sceneManager;
        manager->changeScene(GameScene::MAIN_MENU);
        return;
    }
    VMPtr<Addon> body = dynamic_cast<Addon*>(panel.get());
    if (body == nullptr) return;
    if (up)
        body->scrollTextUp();
    else if (down)
        body->scrollTextDown();
}

}  // namespace scene::menu

VM_REGISTER_CLASS(scene::menu::MenuOptionScene, .name = "scene.menu.MenuOptionScene")
