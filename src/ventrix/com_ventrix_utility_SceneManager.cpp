// com.ventrix.utility.SceneManager
#include "com_ventrix_utility_SceneManager.h"

#include "com_ventrix_utility_ResManager.h"

namespace com::ventrix::utility {

VMStatic<SceneManager> SceneManager::instance;

void SceneManager::_VM_clinit() { instance = nullptr; }

VMPtr<SceneManager> SceneManager::construct() {
    Super::construct();
    currentSceneId = NO_SCENE;
    return this;
}

VMPtr<SceneManager> SceneManager::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    return instance;
}

void SceneManager::init() {
    if (audio == nullptr) audio = AudioAndVibration::getInstance();
    if (currentSceneId != NO_SCENE) {
        const jint id = currentSceneId;
        currentSceneId = NO_SCENE;
        changeScene(id);
    }
}

void SceneManager::changeScene(jint id) {
    if (currentSceneId == id) return;
    ResManager::clear();
    previousSceneId = currentSceneId;
    currentSceneId = jshort(id);
}

void SceneManager::destroy() { ResManager::clear(); }

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::SceneManager, .name = "com.ventrix.utility.SceneManager",
                  .sourceName = "src/ventrix/com_ventrix_utility_SceneManager",
                  .staticInit = com::ventrix::utility::SceneManager::_VM_clinit, .isAbstract = true)
