// scene.LogoScene: the first scene of every run (scene 0).
#include "scene_LogoScene.h"

#include "global_GameScene.h"

namespace scene {

using com::ventrix::ui::Screen;

namespace {

// The screen's steps (the stage-0 counter), in the order they run; the
// counter back at 0 ends the stage.
constexpr jint STEP_SCREEN = 0, STEP_LOGO = 4, STEP_TITLE = 3, STEP_BANNER = 2, STEP_LOGO_ALONE = 1;

}  // namespace

VMPtr<LogoScene> LogoScene::construct() {
    Super::construct();
    return this;
}

void LogoScene::loadStage0() { loadLogo(); }

void LogoScene::loadLogo() {
    VMPtr<VMInts> work = rect;
    switch (stage0Busy) {
        case STEP_SCREEN: {
            VMPtr<Screen> s = Screen::create()->construct();
            screen = s;
            s->setBackgroundColor(0xFFFFFF);
            s->setBackgroundVisible(true);
            s->setSlotCapacity(LAYERS);
            stage0Busy = STEP_LOGO;
            break;
        }
        case STEP_LOGO: {
            // The logo, centred by its own size.
            VMPtr<Screen> s = screen;
            s->addAnimation(LOGO_IMAGE, LOGO_SET, 0, 0, 0);
            const jint w = s->getSlotWidth(0);
            const jint h = s->getSlotHeight(0);
            s->setSlotPosition(0, (Screen::SCREEN_WIDTH - w) / 2, (Screen::SCREEN_HEIGHT - h) / 2);
            stage0Busy = STEP_TITLE;
            break;
        }
        case STEP_TITLE: {
            // The title picture and its two bands.
            VMPtr<Screen> s = screen;
            s->addFrame(TITLE_IMAGE, TITLE_SET, 0, 240, 320);
            s->addFrame(TITLE_IMAGE, TITLE_SET, 1, 240, 0);
            s->addFrame(TITLE_IMAGE, TITLE_SET, 2, 240, 640);
            s->setRectCapacity(2);
            setBands();
            stage0Busy = STEP_BANNER;
            break;
        }
        case STEP_BANNER: {
            VMPtr<Screen> s = screen;
            s->addResource(BANNER);
            s->setSlotPosition(4, 240, 0);
            stage0Busy = STEP_LOGO_ALONE;
            break;
        }
        case STEP_LOGO_ALONE: {
            VMPtr<Screen> s = screen;
            // The logo alone. The screen paints rectangles whose layer is not
            // drawn above all layers: the bands wait for the title picture
            // (their place among the layers, before the banner, is kept).
            s->setSlotCount(1);
            s->removeRect(0);
            s->removeRect(1);
            addObject(s);
            stage0Busy = 0;
            break;
        }
        default: stage0Busy = 0; break;
    }
    stepLoadingPage();
}

void LogoScene::setBands() {
    VMPtr<Screen> s = screen;
    VMPtr<VMInts> work = rect;
    s->getCollisionRects(2, work, 3);
    s->setRect(0, work, 0x534741);
    s->getCollisionRects(2, work, 4);
    s->setRect(1, work, 0x000000);
}

void LogoScene::loadStage1() {
    stepLoadingPage();
}

void LogoScene::loadStage2() {
    stepLoadingPage();
    logoShown = false;
}

void LogoScene::update() {
    Super::update();
    if (loading) return;
    if (elapsed >= TITLE_AT && !logoShown) {
        logoShown = true;
        VMPtr<Screen> s = screen;
        if (s != nullptr) {
            s->setSlotCount(LAYERS);
            setBands();
        }
    } else if (elapsed >= CHANGE_AT) {
        VMPtr<com::ventrix::utility::SceneManager> manager = sceneManager;
        manager->changeScene(global::GameScene::START_SOUND_PAGE);
    }
}

}  // namespace scene

VM_REGISTER_CLASS(scene::LogoScene, .name = "scene.LogoScene", .newInstance = _VM_newInstanceOf<scene::LogoScene>)
