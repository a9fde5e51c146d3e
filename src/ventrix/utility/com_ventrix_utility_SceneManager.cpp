// com.ventrix.utility.SceneManager: owns the application's current scene and switches scenes by a small id.
#include "com_ventrix_utility_SceneManager.h"

#include "com_ventrix_utility_ResManager.h"

namespace com::ventrix::utility {

VMStatic<SceneManager> SceneManager::instance;

void SceneManager::_VM_clinit() { instance = nullptr; }

VMPtr<SceneManager> SceneManager::construct() {
    Super::construct();
    currentSceneId = NO_SCENE;
    setupFonts();
    setupLoadingPage();
    createGameSave();
    return this;
}

VMPtr<SceneManager> SceneManager::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    return instance;
}

void SceneManager::update() {
    VMPtr<ui::Scene> current = scene;
    // A scene that begins this frame loading has not been drawn yet: what
    // the screen showed meanwhile was the scene before it, under the loading
    // page, and the touches made on it are not this scene's.
    const bool unseen = current != nullptr && current->loading;
    if (current != nullptr) current->update();
    // The touch events of this frame.
    VMPtr<MyPointer> touch = pointer;
    if (touch == nullptr) return;
    if (unseen)
        touch->dropQueuedEvents();
    else
        touch->update();
}

void SceneManager::paint(VMPtr<javax::microedition::lcdui::Graphics> g) {
    VMPtr<ui::LoadingPage> page = loadingPage;
    if (page != nullptr) page->paint(g);
    VMPtr<ui::Scene> current = scene;
    if (current != nullptr) current->paint(g);
}

void SceneManager::pause() {
    VMPtr<ui::Scene> current = scene;
    if (current != nullptr) current->pause();
}

void SceneManager::init() {
    pointer = MyPointer::getInstance();
    if (audio == nullptr) audio = AudioAndVibration::getInstance();
    loadingPage = ui::LoadingPage::getInstance();
    if (currentSceneId != NO_SCENE) {
        const jint id = currentSceneId;
        currentSceneId = NO_SCENE;
        changeScene(id);
    }
}

void SceneManager::changeScene(jint id) {
    if (loadingPage == nullptr) {  // before init: entered by init
        currentSceneId = jshort(id);
        return;
    }
    if (currentSceneId == id) return;
    VMPtr<AudioAndVibration> sound = audio;
    if (sound != nullptr && !sound->isMuted()) sound->stopAllChannels();
    VMPtr<ui::Scene> old = scene;
    if (old != nullptr) {
        old->dispose();
        scene = nullptr;
    }
    // The old scene's touch regions and pointer state go, and so do the
    // touches made on it that wait in the queue.
    VMPtr<MyPointer> touch = pointer;
    if (touch != nullptr) {
        touch->reset();
        touch->dropQueuedEvents();
    }
    ResManager::clear();
    previousSceneId = currentSceneId;
    currentSceneId = jshort(id);
    createScene();
    VMPtr<ui::Scene> next = scene;
    if (next != nullptr && !next->loading) next->init();
}

void SceneManager::destroy() {
    VMPtr<ui::Scene> current = scene;
    if (current != nullptr) {
        current->dispose();
        scene = nullptr;
    }
    // The touch regions go with the application.
    VMPtr<MyPointer> touch = pointer;
    if (touch != nullptr) {
        touch->releaseRegions();
        pointer = nullptr;
    }
    ResManager::destroy();
}

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::SceneManager, .name = "com.ventrix.utility.SceneManager",
                  .staticInit = com::ventrix::utility::SceneManager::_VM_clinit, .isAbstract = true)
