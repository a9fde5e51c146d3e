// scene.menu.MainMenuScene: scene 1, the main menu.
#include "scene_menu_MainMenuScene.h"

#include "com_ventrix_ui_ListMenu.h"
#include "com_ventrix_utility_ResManager.h"
#include "global_GameScene.h"
#include "sam_SamGameSave.h"
#include "ts_AnimSet.h"

namespace scene::menu {

using com::ventrix::ui::ListMenu;
using com::ventrix::ui::LoadingPage;
using com::ventrix::ui::Screen;
using com::ventrix::utility::MyKey;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::ResManager;
using com::ventrix::utility::SceneManager;
using global::GameScene;

namespace {

// The background's steps (the stage-0 counter), in the order they run; the
// counter back at 0 ends the stage.
constexpr jint STEP_SCREEN = 0, STEP_TITLE = 4, STEP_LEFT_MARKER = 3, STEP_RIGHT_MARKER = 2, STEP_BANNER = 1;

}  // namespace

jint MainMenuScene::menuLocked = 0;

VMPtr<MainMenuScene> MainMenuScene::construct() {
    Super::construct();
    VMPtr<LoadingPage> page = loadingPage;
    page->begin(LOADING_STEPS);
    menuLocked = 0;
    if (pointer == nullptr) pointer = MyPointer::getInstance();
    if (key == nullptr) key = MyKey::getInstance();
    return this;
}

void MainMenuScene::loadStage0() {
    if (menuLocked != 0) return;
    loadBackground();
}

void MainMenuScene::loadBackground() {
    VMPtr<VMInts> work = rect;
    switch (stage0Busy) {
        case STEP_SCREEN: {
            VMPtr<Screen> s = Screen::create()->construct();
            screen = s;
            s->setSlotCapacity(6);
            stage0Busy = STEP_TITLE;
            break;
        }
        case STEP_TITLE: {
            VMPtr<Screen> s = screen;
            s->addFrame(TITLE_IMAGE, TITLE_SET, 0, 240, 320);
            s->addFrame(TITLE_IMAGE, TITLE_SET, 1, 240, 0);
            s->addFrame(TITLE_IMAGE, TITLE_SET, 2, 240, 640);
            s->setRectCapacity(4);
            s->getCollisionRects(1, work, 3);
            s->setRect(0, work, 0x534741);
            s->getCollisionRects(1, work, 4);
            s->setRect(1, work, 0x000000);
            // The strip's bands reach across the screen.
            s->getCollisionRects(2, work, LIST_BOX);
            (*work)[0] = 0;
            (*work)[2] = Screen::SCREEN_WIDTH;
            s->setRect(2, work, 0x534741);
            s->getCollisionRects(2, work, LINE_BOX);
            (*work)[0] = 0;
            (*work)[2] = Screen::SCREEN_WIDTH;
            s->setRect(3, work, 0x000000);
            stage0Busy = STEP_LEFT_MARKER;
            break;
        }
        case STEP_LEFT_MARKER: {
            // The marker at the list's left end.
            VMPtr<Screen> s = screen;
            s->getCollisionRects(2, work, LIST_BOX);
            s->addAnimation(MARKER_IMAGE, MARKER_SET, MARKER_ANIMATION, (*work)[0], (*work)[1] + (*work)[3] / 2);
            stage0Busy = STEP_RIGHT_MARKER;
            break;
        }
        case STEP_RIGHT_MARKER: {
            // The same marker, mirrored, at the right end.
            VMPtr<Screen> s = screen;
            s->addAnimation(MARKER_IMAGE, MARKER_SET, MARKER_ANIMATION, (*work)[0] + (*work)[2],
                            (*work)[1] + (*work)[3] / 2);
            s->mirrorSlot(4);
            stage0Busy = STEP_BANNER;
            break;
        }
        case STEP_BANNER: {
            VMPtr<Screen> s = screen;
            s->addResource(BANNER);
            s->setSlotPosition(5, 240, 0);
            addObject(s);
            stage0Busy = 0;
            break;
        }
        default: stage0Busy = 0; break;
    }
    stepLoadingPage();
}

void MainMenuScene::loadStage2() {
    if (menuLocked != 0) return;
    loadMenu();
}

void MainMenuScene::loadMenu() {
    VMPtr<VMInts> work = rect;
    VMPtr<ListMenu> menu = ListMenu::create()->construct();
    panel = menu;
    menu->setListResources(LIST_IMAGE, LIST_SET);
    menu->initLabels(1);
    VMPtr<ts::util::text::Translation> texts = translation;
    if (texts == nullptr) _VM_throwNullPointer();
    menu->addLabel(texts->getString(0), 0, 0, 10, 10);
    menu->setLabelFont(0, 0);

    VMPtr<Screen> s = screen;
    s->getCollisionRects(2, work, LIST_BOX);
    menu->setBounds((*work)[0], (*work)[1], (*work)[2], (*work)[3]);

    menu->setItemCount(ENTRIES);
    VMPtr<VMInts> entries = VMInts::create(ENTRIES);
    (*entries)[0] = TRAINING;
    (*entries)[1] = MISSIONS;
    (*entries)[2] = SOUND;
    (*entries)[3] = ABOUT;
    (*entries)[4] = EXIT;
    menu->setItems(entries);
    menu->open();
    menu->setActive(true);

    // A player who has not finished the training starts on it; the others
    // on the missions.
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    if (sam::SamGameSave::unlockedLevel == 0 || sam::SamGameSave::currentLevel == -1) {
        sam::SamGameSave::currentLevel = 0;
    } else {
        menu->listDown();
    }
    addObject(menu);
    stepLoadingPage();
}

void MainMenuScene::update() {
    Super::update();
    if (loading) return;
    if (menuLocked == 0) handleInput();
}

void MainMenuScene::handleInput() {
    VMPtr<MyPointer> p = pointer;
    VMPtr<VMBooleans> released = p->justReleased;
    if (!(*released)[0]) return;
    VMPtr<VMInts> work = rect;
    (*work)[0] = p->getX(0);
    (*work)[1] = p->getY(0);
    (*work)[2] = 1;
    (*work)[3] = 1;
    VMPtr<Screen> s = screen;
    VMPtr<com::ventrix::ui::Addon> menu = dynamic_cast<com::ventrix::ui::Addon*>(panel.get());
    if (s == nullptr || menu == nullptr) return;
    switch (s->getBoxIdAt(2, work)) {
        case BACK_BOX: {
            // From the first entry to the last row that still fills the list.
            if (menu->getFirstRow() == 0) {
                const jint last = menu->itemCount - menu->visibleRows;
                menu->setFirstRow(last > 0 ? last : 0);
            } else {
                menu->listUp();
            }
            break;
        }
        case FORWARD_BOX: {
            // From the last row that fills the list back to the first entry.
            if (menu->getFirstRow() + menu->visibleRows >= menu->itemCount) {
                menu->setFirstRow(0);
            } else {
                menu->listDown();
            }
            break;
        }
        case LIST_BOX: choose(menu->getTappedItem()); break;
        default: break;
    }
}

void MainMenuScene::choose(jint entry) {
    VMPtr<SceneManager> manager = sceneManager;
    switch (entry) {
        case TRAINING: manager->changeScene(GameScene::TUTORIAL); break;
        case MISSIONS: manager->changeScene(GameScene::BROWSE_LEVELS); break;
        case SOUND: manager->changeScene(GameScene::SOUND_PAGE); break;
        case ABOUT: manager->changeScene(GameScene::INFORMATION_PAGE); break;
        case HOW_TO_PLAY: manager->changeScene(GameScene::HELP_PAGE); break;
        case OPTIONS: manager->changeScene(GameScene::SETTINGS_PAGE); break;
        case EXIT: {
            VMPtr<ts::TsCanvas> c = canvas;
            if (c != nullptr) c->postEvent(ts::TsCanvas::EVENT_EXIT);
            break;
        }
        default: break;
    }
}

}  // namespace scene::menu

VM_REGISTER_CLASS(scene::menu::MainMenuScene, .name = "scene.menu.MainMenuScene")
