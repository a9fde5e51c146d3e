// sam.SamSceneManager: the game's scene manager.
#include "sam_SamSceneManager.h"

#include "com_ventrix_common_Main.h"
#include "com_ventrix_ui_LoadingPage.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyFont.h"
#include "generated_RP.h"
#include "global_GameScene.h"
#include "sam_SamGameSave.h"
#include "scene_LogoScene.h"
#include "scene_ingame_InGameScene.h"
#include "scene_menu_MainMenuScene.h"
#include "scene_menu_MenuOptionScene.h"
#include "scene_menu_SelectLevelScene.h"

namespace sam {

using com::ventrix::common::Main;
using com::ventrix::ui::LoadingPage;
using com::ventrix::ui::Scene;
using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::MyFont;
using generated::RP;
using global::GameScene;

VMPtr<SamSceneManager> SamSceneManager::construct() {
    Super::construct();
    _VM_ensureInitialized(SceneManager::_VM_classRecord);
    SceneManager::instance = this;
    return this;
}

void SamSceneManager::setupFonts() {
    VMPtr<MyFont> font = MyFont::getInstance();
    font->loadTexts(RP::TEXTS);
    VMPtr<VMInts> ids = VMInts::create(2);
    (*ids)[0] = RP::FONT_FIRST;
    (*ids)[1] = RP::FONT_SECOND;
    font->setFontResourceIds(ids);
}

void SamSceneManager::setupLoadingPage() {
    VMPtr<LoadingPage> page = LoadingPage::getInstance();
    page->setStyle(1);
    page->setPicture(0x4805, 0x4801);
    page->setText(1, 25);
    page->setBarColours(0xB36D2E, 0xD02B15);
    page->setBarMode(0);
    page->setStyleCount(2);
    page->setStyleSwitches(0, false, true, true, true, true);
    page->setStyleSwitches(1, false, false, false, true, true);
}

void SamSceneManager::afterResume() {
    VMPtr<Scene> current = scene;
    // A paused level stays silent until the player goes on.
    if (currentSceneId == GameScene::LEVEL && current != nullptr && current->quietOnResume) return;
    AudioAndVibration::getInstance()->startMusic();
}

void SamSceneManager::createGameSave() {
    VMPtr<SamGameSave> save = SamGameSave::create()->construct();
    _VM_ensureInitialized(Main::_VM_classRecord);
    Main::game = save;
}

void SamSceneManager::createScene() {
    const jint id = currentSceneId;
    // Negative ids are above every scene too.
    if (static_cast<uint32_t>(id) > static_cast<uint32_t>(GameScene::LAST)) return;
    VMPtr<Scene> made;
    jint style = 0;
    switch (id) {
        case GameScene::LOGO:
            made = scene::LogoScene::create()->construct();
            style = -1;  // started at once
            break;
        case GameScene::MAIN_MENU: made = scene::menu::MainMenuScene::create()->construct(); break;
        case GameScene::SETTINGS_PAGE:
        case GameScene::INFORMATION_PAGE:
        case GameScene::SOUND_PAGE:
        case GameScene::HELP_PAGE:
        case GameScene::START_SOUND_PAGE:
        case GameScene::START_HELP_PAGE: made = scene::menu::MenuOptionScene::create()->construct(id); break;
        case GameScene::LEVEL: {
            _VM_ensureInitialized(SamGameSave::_VM_classRecord);
            VMPtr<AudioAndVibration> sound = AudioAndVibration::getInstance();
            sound->switchMusic(SamGameSave::currentLevel, 0);
            sound->startMusic();
            made = scene::ingame::InGameScene::create()->construct();
            style = 1;
            break;
        }
        case GameScene::BROWSE_LEVELS:
        case GameScene::BRIEFING:
        case GameScene::NEXT_BRIEFING:
        case GameScene::INTERLUDE: made = scene::menu::SelectLevelScene::create()->construct(id); break;
        case GameScene::TUTORIAL: made = scene::ingame::InGameScene::create()->construct(id); break;
        default: return;
    }
    scene = made;
    made->startLoading(style);
    if (id == GameScene::LOGO) AudioAndVibration::getInstance()->enableDeviceVibration(true);
}

}  // namespace sam

VM_REGISTER_CLASS(sam::SamSceneManager, .name = "sam.SamSceneManager",
                  .newInstance = _VM_newInstanceOf<sam::SamSceneManager>)
